#pragma once
// The key and IV of one TAESEncryption operation as bytes, with the key
// expanded once. Lives on the caller's stack and is wiped when it goes.
#include <cstdint>

#include "crypto/core/aes.h"
#include "rtl/String.h"

namespace aesobj {

struct AesKeyMaterial {
    // Takes the first keyLengthBits / 8 characters of `key` (rule S) and, when
    // `needIv`, the 16 characters of `iv`. A shorter key raises rtl::Exception
    // "Keylength incorrect, must be N"; a missing IV "IV length incorrect,
    // must be 16". Without `needIv` the IV bytes are zero.
    AesKeyMaterial(const rtl::String& key, int32_t keyLengthBits, const rtl::String& iv,
                   bool needIv);
    ~AesKeyMaterial();
    AesKeyMaterial(const AesKeyMaterial&) = delete;
    AesKeyMaterial& operator=(const AesKeyMaterial&) = delete;

    uint8_t key[32] = {};
    uint8_t iv[16] = {};
    uint32_t schedule[core::kAesScheduleWords] = {};
    int32_t nk = 0;
};

// Overwrites secrets in a way the optimiser keeps.
void Wipe(void* data, size_t size);

}  // namespace aesobj
