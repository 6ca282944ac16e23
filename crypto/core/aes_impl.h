#pragma once
// The two AES implementations behind crypto/core/aes.h, and the mode and
// buffer functions parameterised by implementation so that tests and
// benchmarks can run either one whatever the processor chose.
#include <cstddef>
#include <cstdint>

namespace core::aes {

// `roundKeys` is the key schedule as bytes (16 per round key), `rounds` is
// 10, 12 or 14, `mode` is 0..3; arguments are already checked. Input and
// output are the same buffer or disjoint.
using BlocksFunction = void (*)(uint32_t mode, const uint8_t* input, uint8_t* output,
                                size_t blockCount, const uint8_t* roundKeys, int rounds,
                                uint8_t* state);

struct Impl {
    const char* name;
    BlocksFunction encrypt;
    BlocksFunction decrypt;
};

const Impl& Portable();
// Null when the build or the processor has no AES instructions.
const Impl* Hardware();
// Hardware() when present, Portable() otherwise; chosen on first use.
const Impl& Active();

// The public functions of crypto/core/aes.h on a given implementation.
int32_t EncryptBlocks(const Impl& impl, uint32_t mode, const uint8_t* input, uint8_t* output,
                      size_t blockCount, const uint32_t* schedule, int32_t nk, uint8_t* state);
int32_t DecryptBlocks(const Impl& impl, uint32_t mode, const uint8_t* input, uint8_t* output,
                      size_t blockCount, const uint32_t* schedule, int32_t nk, uint8_t* state);
int32_t EncryptBuffer(const Impl& impl, const uint8_t* plaintext, uint32_t plaintextLength,
                      uint8_t* output, uint32_t* outputLength, const uint8_t* key,
                      int32_t keySizeBits, uint8_t randomIv, const uint8_t* iv, uint8_t padding,
                      uint32_t mode);
int32_t DecryptBuffer(const Impl& impl, const uint8_t* ciphertext, uint32_t ciphertextLength,
                      uint8_t* output, uint32_t* outputLength, const uint8_t* key,
                      int32_t keySizeBits, uint8_t ivInInput, const uint8_t* iv, uint8_t padding,
                      uint32_t mode);

// Adds one to the 16-byte big-endian counter, wrapping from all 0xFF to zero.
inline void IncrementCounter(uint8_t* counter) {
    for (int i = 15; i >= 0; --i) {
        if (++counter[i] != 0) return;
    }
}

// Overwrites secrets in a way the optimiser keeps.
inline void Wipe(void* data, size_t size) {
    volatile uint8_t* p = static_cast<volatile uint8_t*>(data);
    while (size--) *p++ = 0;
}

}  // namespace core::aes
