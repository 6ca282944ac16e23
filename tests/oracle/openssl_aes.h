#pragma once
// OpenSSL's AES cipher for a mode number (0 ECB, 1 CBC, 2 OFB, 3 CTR: the core's
// numbers and the component's ordinals) and a key size in bits.
#include <openssl/evp.h>

#include <cstdint>

#include "crypto/core/aes.h"

namespace oracle {

inline const EVP_CIPHER* Cipher(uint32_t mode, int32_t bits) {
    switch (mode) {
        case core::kAesEcb:
            return bits == 128   ? EVP_aes_128_ecb()
                   : bits == 192 ? EVP_aes_192_ecb()
                                 : EVP_aes_256_ecb();
        case core::kAesCbc:
            return bits == 128   ? EVP_aes_128_cbc()
                   : bits == 192 ? EVP_aes_192_cbc()
                                 : EVP_aes_256_cbc();
        case core::kAesOfb:
            return bits == 128   ? EVP_aes_128_ofb()
                   : bits == 192 ? EVP_aes_192_ofb()
                                 : EVP_aes_256_ofb();
        default:
            return bits == 128   ? EVP_aes_128_ctr()
                   : bits == 192 ? EVP_aes_192_ctr()
                                 : EVP_aes_256_ctr();
    }
}

}  // namespace oracle
