#include <cstring>

#include "crypto/core/sha2.h"
#include "crypto/core/sha2_internal.h"

namespace core {

int32_t Sha2Hmac(const uint8_t* message, uint32_t length, const uint8_t* key, uint32_t keyLength,
                 uint32_t bits, uint8_t* mac) {
    if (!sha2::ValidBits(bits)) return kSha2BadSize;
    if (key == nullptr && keyLength > 0) return kSha2NullPointer;
    if (message == nullptr && length > 0) return kSha2NullPointer;
    if (mac == nullptr) return kSha2NullPointer;

    const uint32_t block = sha2::BlockBytes(bits);
    uint8_t k0[128] = {};
    if (keyLength > block) {
        const int32_t rc = Sha2Digest(key, keyLength, bits, k0);
        if (rc != kOk) return rc;
    } else if (keyLength > 0) {
        std::memcpy(k0, key, keyLength);
    }

    uint8_t pad[128];
    uint8_t inner[64];
    sha2::Context c;
    for (uint32_t i = 0; i < block; ++i) pad[i] = k0[i] ^ 0x36;
    sha2::Init(c, bits);
    sha2::Update(c, pad, block);
    if (length > 0) sha2::Update(c, message, length);
    sha2::Final(c, inner);

    for (uint32_t i = 0; i < block; ++i) pad[i] = k0[i] ^ 0x5c;
    sha2::Init(c, bits);
    sha2::Update(c, pad, block);
    sha2::Update(c, inner, sha2::DigestBytes(bits));
    sha2::Final(c, mac);

    sha2::Wipe(k0, sizeof k0);
    sha2::Wipe(pad, sizeof pad);
    sha2::Wipe(inner, sizeof inner);
    return kOk;
}

int32_t Sha2HmacVerify(const uint8_t* message, uint32_t length, const uint8_t* key,
                       uint32_t keyLength, uint32_t bits, const uint8_t* expected) {
    uint8_t mac[64];
    const int32_t rc = Sha2Hmac(message, length, key, keyLength, bits, mac);
    if (rc != kOk) return rc;
    if (expected == nullptr) return kSha2NullPointer;
    uint8_t difference = 0;
    for (uint32_t i = 0; i < sha2::DigestBytes(bits); ++i) difference |= mac[i] ^ expected[i];
    sha2::Wipe(mac, sizeof mac);
    return difference == 0 ? kOk : kSha2HmacMismatch;
}

}  // namespace core
