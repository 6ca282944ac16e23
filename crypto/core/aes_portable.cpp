// The byte-oriented implementation: the reference, and the path on processors
// without AES instructions. The state is the 16 block bytes in FIPS 197
// column order, byte r + 4c being row r of column c.
#include <cstring>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/aes_tables.h"

namespace core::aes {
namespace {

void AddRoundKey(uint8_t* s, const uint8_t* roundKey) {
    for (int i = 0; i < 16; ++i) s[i] ^= roundKey[i];
}

// SubBytes and ShiftRows together: row r moves r columns to the left.
void SubShift(const uint8_t* s, uint8_t* t) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) t[r + 4 * c] = kSbox[s[r + 4 * ((c + r) & 3)]];
    }
}

// InvShiftRows and InvSubBytes together: row r moves r columns to the right.
void InvShiftSub(const uint8_t* s, uint8_t* t) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) t[r + 4 * c] = kInvSbox[s[r + 4 * ((c - r) & 3)]];
    }
}

void MixColumns(const uint8_t* t, uint8_t* s) {
    for (int c = 0; c < 16; c += 4) {
        const uint8_t a0 = t[c], a1 = t[c + 1], a2 = t[c + 2], a3 = t[c + 3];
        s[c] = kMul2[a0] ^ kMul3[a1] ^ a2 ^ a3;
        s[c + 1] = a0 ^ kMul2[a1] ^ kMul3[a2] ^ a3;
        s[c + 2] = a0 ^ a1 ^ kMul2[a2] ^ kMul3[a3];
        s[c + 3] = kMul3[a0] ^ a1 ^ a2 ^ kMul2[a3];
    }
}

void InvMixColumns(const uint8_t* t, uint8_t* s) {
    for (int c = 0; c < 16; c += 4) {
        const uint8_t a0 = t[c], a1 = t[c + 1], a2 = t[c + 2], a3 = t[c + 3];
        s[c] = kMul14[a0] ^ kMul11[a1] ^ kMul13[a2] ^ kMul9[a3];
        s[c + 1] = kMul9[a0] ^ kMul14[a1] ^ kMul11[a2] ^ kMul13[a3];
        s[c + 2] = kMul13[a0] ^ kMul9[a1] ^ kMul14[a2] ^ kMul11[a3];
        s[c + 3] = kMul11[a0] ^ kMul13[a1] ^ kMul9[a2] ^ kMul14[a3];
    }
}

void Cipher(const uint8_t* input, uint8_t* output, const uint8_t* roundKeys, int rounds) {
    uint8_t s[16], t[16];
    std::memcpy(s, input, 16);
    AddRoundKey(s, roundKeys);
    for (int round = 1; round < rounds; ++round) {
        SubShift(s, t);
        MixColumns(t, s);
        AddRoundKey(s, roundKeys + 16 * round);
    }
    SubShift(s, t);
    AddRoundKey(t, roundKeys + 16 * rounds);
    std::memcpy(output, t, 16);
}

void InvCipher(const uint8_t* input, uint8_t* output, const uint8_t* roundKeys, int rounds) {
    uint8_t s[16], t[16];
    std::memcpy(s, input, 16);
    AddRoundKey(s, roundKeys + 16 * rounds);
    for (int round = rounds - 1; round > 0; --round) {
        InvShiftSub(s, t);
        AddRoundKey(t, roundKeys + 16 * round);
        InvMixColumns(t, s);
    }
    InvShiftSub(s, t);
    AddRoundKey(t, roundKeys);
    std::memcpy(output, t, 16);
}

void Xor16(const uint8_t* a, const uint8_t* b, uint8_t* out) {
    for (int i = 0; i < 16; ++i) out[i] = a[i] ^ b[i];
}

// OFB and CTR: the same keystream XOR in both directions.
void Keystream(uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
               const uint8_t* roundKeys, int rounds, uint8_t* state) {
    uint8_t stream[16];
    for (size_t k = 0; k < blockCount; ++k, input += 16, output += 16) {
        if (mode == kAesOfb) {
            Cipher(state, state, roundKeys, rounds);
            Xor16(input, state, output);
        } else {
            Cipher(state, stream, roundKeys, rounds);
            IncrementCounter(state);
            Xor16(input, stream, output);
        }
    }
    Wipe(stream, sizeof stream);
}

void Encrypt(uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
             const uint8_t* roundKeys, int rounds, uint8_t* state) {
    switch (mode) {
        case kAesEcb:
            for (size_t k = 0; k < blockCount; ++k) {
                Cipher(input + 16 * k, output + 16 * k, roundKeys, rounds);
            }
            break;
        case kAesCbc:
            for (size_t k = 0; k < blockCount; ++k, input += 16, output += 16) {
                Xor16(input, state, state);
                Cipher(state, state, roundKeys, rounds);
                std::memcpy(output, state, 16);
            }
            break;
        default:
            Keystream(mode, input, output, blockCount, roundKeys, rounds, state);
    }
}

void Decrypt(uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
             const uint8_t* roundKeys, int rounds, uint8_t* state) {
    switch (mode) {
        case kAesEcb:
            for (size_t k = 0; k < blockCount; ++k) {
                InvCipher(input + 16 * k, output + 16 * k, roundKeys, rounds);
            }
            break;
        case kAesCbc: {
            uint8_t block[16], next[16];
            for (size_t k = 0; k < blockCount; ++k, input += 16, output += 16) {
                std::memcpy(next, input, 16);
                InvCipher(next, block, roundKeys, rounds);
                Xor16(block, state, output);
                std::memcpy(state, next, 16);
            }
            Wipe(block, sizeof block);
            break;
        }
        default:
            Keystream(mode, input, output, blockCount, roundKeys, rounds, state);
    }
}

}  // namespace

const Impl& Portable() {
    static constexpr Impl impl{"portable", Encrypt, Decrypt};
    return impl;
}

}  // namespace core::aes
