#include <cstring>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/errors.h"
#include "crypto/core/random.h"

namespace core {
namespace aes {
namespace {

int32_t KeyWords(int32_t keySizeBits) {
    switch (keySizeBits) {
        case 128:
            return 4;
        case 192:
            return 6;
        case 256:
            return 8;
        default:
            return 0;
    }
}

// Everything secret that a buffer call holds, wiped on every way out.
struct Work {
    uint32_t schedule[kAesScheduleWords] = {};
    uint8_t state[16] = {};
    uint8_t block[16] = {};

    Work() = default;
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
    ~Work() { Wipe(this, sizeof *this); }
};

// The largest length whose whole blocks still have a 32-bit byte count.
constexpr uint32_t kLastWholeBlockLength = 0xFFFFFFF0;

}  // namespace

int32_t EncryptBuffer(const Impl& impl, const uint8_t* plaintext, uint32_t plaintextLength,
                      uint8_t* output, uint32_t* outputLength, const uint8_t* key,
                      int32_t keySizeBits, uint8_t randomIv, const uint8_t* iv, uint8_t padding,
                      uint32_t mode) {
    if (!padding && plaintextLength % 16 != 0) return kAesClearLength;
    if (plaintext == nullptr || output == nullptr || outputLength == nullptr || key == nullptr) {
        return kAesNullPointer;
    }
    Work work;
    uint32_t offset = 0;
    if (mode != kAesEcb) {
        if (randomIv) {
            const int32_t code = RandomBytes(16, work.state);
            if (code != kOk) return code;
            std::memcpy(output, work.state, 16);
            offset = 16;
        } else {
            if (iv == nullptr) return kAesNullPointer;
            std::memcpy(work.state, iv, 16);
        }
    }
    const int32_t nk = KeyWords(keySizeBits);
    if (nk == 0) return kAesKeySize;
    AesKeyExpansion(key, work.schedule, nk);
    if (mode > kAesCtr) return kAesBadMode;

    const uint32_t whole = plaintextLength / 16;
    EncryptBlocks(impl, mode, plaintext, output + offset, whole, work.schedule, nk, work.state);
    if (!padding) {
        *outputLength = plaintextLength + offset;
        return kOk;
    }
    const uint32_t rest = plaintextLength % 16;
    std::memcpy(work.block, plaintext + 16 * static_cast<size_t>(whole), rest);
    AesPadBlock(work.block, rest);
    EncryptBlocks(impl, mode, work.block, output + offset + 16 * static_cast<size_t>(whole), 1,
                  work.schedule, nk, work.state);
    *outputLength = 16 * whole + 16 + offset;
    return kOk;
}

int32_t DecryptBuffer(const Impl& impl, const uint8_t* ciphertext, uint32_t ciphertextLength,
                      uint8_t* output, uint32_t* outputLength, const uint8_t* key,
                      int32_t keySizeBits, uint8_t ivInInput, const uint8_t* iv, uint8_t padding,
                      uint32_t mode) {
    if (mode != kAesCtr && ciphertextLength % 16 != 0) return kAesCipherLength;
    if (ciphertextLength > kLastWholeBlockLength) return kAesCipherLength;
    if (ciphertext == nullptr || output == nullptr || key == nullptr ||
        (padding && outputLength == nullptr)) {
        return kAesNullPointer;
    }
    Work work;
    uint32_t start = 0;
    if (mode != kAesEcb) {
        if (ivInInput) {
            if (ciphertextLength > 0 && ciphertextLength < 16) return kAesShortIvInput;
            if (ciphertextLength >= 16) std::memcpy(work.state, ciphertext, 16);
            start = 16;
        } else {
            if (iv == nullptr) return kAesNullPointer;
            std::memcpy(work.state, iv, 16);
        }
    }
    const int32_t nk = KeyWords(keySizeBits);
    if (nk == 0) return kAesKeySize;
    AesKeyExpansion(key, work.schedule, nk);
    if (start >= ciphertextLength) return kOk;
    if (mode > kAesCtr) return kAesBadMode;

    const uint32_t dataLength = ciphertextLength - start;
    const uint32_t blocks = dataLength / 16 + (dataLength % 16 != 0 ? 1 : 0);
    // The final block is set apart when it must be unpadded or is a short CTR block.
    const bool unpad = padding && ciphertextLength >= 16;
    const uint32_t direct = unpad ? blocks - 1 : dataLength / 16;
    DecryptBlocks(impl, mode, ciphertext + start, output, direct, work.schedule, nk, work.state);
    if (direct == blocks) return kOk;

    const size_t last = 16 * static_cast<size_t>(direct);
    std::memcpy(work.block, ciphertext + start + last, dataLength - last);
    DecryptBlocks(impl, mode, work.block, work.block, 1, work.schedule, nk, work.state);
    if (!unpad) {
        std::memcpy(output + last, work.block, 16);
        return kOk;
    }
    const uint8_t b = work.block[15];
    if (b > 16) return kAesBadPadding;
    std::memcpy(output + last, work.block, 16u - b);
    *outputLength = static_cast<uint32_t>(last + 16 - b);
    return kOk;
}

}  // namespace aes

int32_t AesPadBlock(uint8_t* block, uint32_t n) {
    if (block == nullptr) return kAesNullPointer;
    for (uint32_t i = n; i < 16; ++i) block[i] = static_cast<uint8_t>(16 - n);
    return kOk;
}

int32_t AesEncryptBuffer(const uint8_t* plaintext, uint32_t plaintextLength, uint8_t* output,
                         uint32_t* outputLength, const uint8_t* key, int32_t keySizeBits,
                         uint8_t randomIv, const uint8_t* iv, uint8_t padding, uint32_t mode) {
    return aes::EncryptBuffer(aes::Active(), plaintext, plaintextLength, output, outputLength, key,
                              keySizeBits, randomIv, iv, padding, mode);
}

int32_t AesDecryptBuffer(const uint8_t* ciphertext, uint32_t ciphertextLength, uint8_t* output,
                         uint32_t* outputLength, const uint8_t* key, int32_t keySizeBits,
                         uint8_t ivInInput, const uint8_t* iv, uint8_t padding, uint32_t mode) {
    return aes::DecryptBuffer(aes::Active(), ciphertext, ciphertextLength, output, outputLength,
                              key, keySizeBits, ivInInput, iv, padding, mode);
}

}  // namespace core
