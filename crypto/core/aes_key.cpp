#include <cstring>

#include "crypto/core/aes.h"
#include "crypto/core/aes_tables.h"
#include "crypto/core/errors.h"

namespace core {

int32_t AesKeyExpansion(const uint8_t* key, uint32_t* schedule, int32_t nk) {
    if (key == nullptr || schedule == nullptr) return kAesNullPointer;
    if (nk != 4 && nk != 6 && nk != 8) return kAesKeySize;
    uint8_t* w = reinterpret_cast<uint8_t*>(schedule);
    const int words = 4 * (nk + 7);
    std::memcpy(w, key, 4 * static_cast<size_t>(nk));
    uint8_t rcon = 0x01;
    for (int i = nk; i < words; ++i) {
        uint8_t temp[4];
        std::memcpy(temp, w + 4 * (i - 1), 4);
        if (i % nk == 0) {
            const uint8_t first = temp[0];
            temp[0] = static_cast<uint8_t>(aes::kSbox[temp[1]] ^ rcon);
            temp[1] = aes::kSbox[temp[2]];
            temp[2] = aes::kSbox[temp[3]];
            temp[3] = aes::kSbox[first];
            rcon = aes::Xtime(rcon);
        } else if (nk == 8 && i % 8 == 4) {
            for (uint8_t& b : temp) b = aes::kSbox[b];
        }
        for (int j = 0; j < 4; ++j)
            w[4 * i + j] = static_cast<uint8_t>(w[4 * (i - nk) + j] ^ temp[j]);
    }
    return kOk;
}

}  // namespace core
