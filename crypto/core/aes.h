#pragma once
// AES (FIPS 197) with 128-, 192- and 256-bit keys, the ECB, CBC, OFB and CTR
// modes of NIST SP 800-38A, and PKCS#7 padding.
//
// Key schedule: kAesScheduleWords 32-bit words owned by the caller. Word i is
// stored as four bytes in FIPS 197 order (word i of a fresh schedule is key
// bytes 4i..4i+3), so the schedule is read as bytes, never as native integers.
// Nk is the key length in words (4, 6 or 8); the cipher runs Nk + 6 rounds.
//
// Mode numbers: kAesEcb 0, kAesCbc 1, kAesOfb 2, kAesCtr 3; anything else is
// refused with kAesBadMode.
//
// Chaining state: 16 bytes owned by the caller. It starts as the IV and then
// holds the previous ciphertext block (CBC), the last keystream block (OFB) or
// the counter (CTR); ECB neither reads nor writes it. A CTR counter is the
// whole 16 bytes read as one big-endian 128-bit number, incremented by one
// after every block and wrapping from all 0xFF to all zero.
//
// Blocks and chunks: AesEncryptStep / AesDecryptStep process one block;
// AesEncryptBlocks / AesDecryptBlocks process `blockCount` consecutive blocks
// and leave the chaining state exactly where as many step calls would. A long
// stream can therefore be cut into chunks of whole blocks anywhere, and step
// and block calls may be mixed: the only thing carried from one call to the
// next is the chaining state. Input and output are either the same buffer
// (in place) or do not overlap at all.
//
// Implementations: on x86-64 processors with AES-NI every function runs on the
// AES instructions (several blocks at a time where the mode allows it), chosen
// once from CPUID; elsewhere a byte-oriented table implementation runs. Both
// give identical bytes, use constant memory and never allocate.
//
// Every function returns kOk or a negative code of the AES family.
#include <cstdint>

#include "crypto/core/errors.h"

namespace core {

inline constexpr uint32_t kAesEcb = 0;
inline constexpr uint32_t kAesCbc = 1;
inline constexpr uint32_t kAesOfb = 2;
inline constexpr uint32_t kAesCtr = 3;

inline constexpr uint32_t kAesBlockSize = 16;
inline constexpr uint32_t kAesScheduleWords = 60;

inline constexpr int32_t kAesNullPointer = -201;
inline constexpr int32_t kAesKeySize = -206;
inline constexpr int32_t kAesCipherLength = -207;
inline constexpr int32_t kAesBadPadding = -208;
inline constexpr int32_t kAesBadMode = -209;
inline constexpr int32_t kAesClearLength = -211;
inline constexpr int32_t kAesShortIvInput = -212;

// Fills the first 4 * (nk + 7) words of `schedule` from the 4 * nk key bytes;
// the remaining words are left as they are. A null pointer gives
// kAesNullPointer and an nk other than 4, 6 or 8 kAesKeySize; neither writes.
int32_t AesKeyExpansion(const uint8_t* key, uint32_t* schedule, int32_t nk);

// One block with the cipher (or inverse cipher) alone, that is ECB on one
// block: same checks as the steps below. Input and output may be the same.
int32_t AesEncryptBlock(const uint8_t* input, uint8_t* output, const uint32_t* schedule,
                        int32_t nk);
int32_t AesDecryptBlock(const uint8_t* input, uint8_t* output, const uint32_t* schedule,
                        int32_t nk);

// One block in `mode` with the chaining state `state` (unused, and may be null,
// in ECB). Checks: mode (kAesBadMode), then pointers (kAesNullPointer), then nk
// (kAesKeySize); nothing is written when a check fails.
int32_t AesEncryptStep(uint32_t mode, const uint8_t* input, uint8_t* output,
                       const uint32_t* schedule, int32_t nk, uint8_t* state);
int32_t AesDecryptStep(uint32_t mode, const uint8_t* input, uint8_t* output,
                       const uint32_t* schedule, int32_t nk, uint8_t* state);

// `blockCount` whole blocks (16 * blockCount bytes) in `mode`, equal to that
// many step calls; same checks as the steps. Zero blocks do nothing.
int32_t AesEncryptBlocks(uint32_t mode, const uint8_t* input, uint8_t* output, uint32_t blockCount,
                         const uint32_t* schedule, int32_t nk, uint8_t* state);
int32_t AesDecryptBlocks(uint32_t mode, const uint8_t* input, uint8_t* output, uint32_t blockCount,
                         const uint32_t* schedule, int32_t nk, uint8_t* state);

// PKCS#7: with n <= 15 data bytes in `block`, sets bytes n..15 to 16 - n;
// with n >= 16 changes nothing.
int32_t AesPadBlock(uint8_t* block, uint32_t n);

// One-shot encryption of `plaintextLength` bytes. Checks, in order:
//  1. padding off and a length that is not a multiple of 16: kAesClearLength;
//  2. null plaintext, output, outputLength or key: kAesNullPointer;
//  3. mode other than ECB: with `randomIv` non-zero, 16 bytes of RandomBytes
//     become the IV and are written to output[0..15] (a failure returns its
//     code); otherwise the 16 bytes at `iv` are the IV (null: kAesNullPointer);
//  4. key size other than 128, 192, 256: kAesKeySize;
//  5. mode above 3: kAesBadMode.
// The output holds the IV (when written) followed by the ciphertext, and must
// have room for (16 if the IV is written) + 16 * (length / 16 + 1) bytes with
// padding, (16 if the IV is written) + length without. `*outputLength` is set
// on success only. Plaintext and output must not overlap.
int32_t AesEncryptBuffer(const uint8_t* plaintext, uint32_t plaintextLength, uint8_t* output,
                         uint32_t* outputLength, const uint8_t* key, int32_t keySizeBits,
                         uint8_t randomIv, const uint8_t* iv, uint8_t padding, uint32_t mode);

// One-shot decryption. Checks, in order:
//  1. mode other than CTR and a length that is not a multiple of 16, or (CTR)
//     a length above 2^32 - 16, whose whole blocks have no 32-bit byte count:
//     kAesCipherLength;
//  2. null ciphertext, output or key, or a null outputLength with padding on:
//     kAesNullPointer;
//  3. mode other than ECB: with `ivInInput` non-zero the first 16 bytes are
//     the IV and the data follow (1 to 15 bytes in all: kAesShortIvInput);
//     otherwise the 16 bytes at `iv` are the IV (null: kAesNullPointer);
//  4. key size: kAesKeySize;
//  5. no data after the IV: returns kOk, writing neither output nor length;
//  6. mode above 3: kAesBadMode;
//  7. with padding, the last byte b of the final decrypted block: b > 16 gives
//     kAesBadPadding; otherwise the last b bytes are dropped (b = 0 drops none).
// Whole blocks are written: the output must have room for the data length
// rounded up to a multiple of 16. A short final CTR block is decrypted as a
// whole block of which only the leading bytes are meaningful. `*outputLength`
// is written only with padding; without it the plaintext length is the data
// length. Ciphertext and output must not overlap. On failure the output may be
// partly written.
int32_t AesDecryptBuffer(const uint8_t* ciphertext, uint32_t ciphertextLength, uint8_t* output,
                         uint32_t* outputLength, const uint8_t* key, int32_t keySizeBits,
                         uint8_t ivInInput, const uint8_t* iv, uint8_t padding, uint32_t mode);

// True when the functions above run on the processor's AES instructions.
bool AesUsesHardware();

}  // namespace core
