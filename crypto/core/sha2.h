#pragma once
// SHA-256, SHA-384 and SHA-512 (FIPS 180-4) and HMAC over them (RFC 2104).
//
// Messages and keys are (pointer, 32-bit byte count). `bits` selects the digest:
// 256, 384 or 512; digests and MACs are bits/8 bytes, written big-endian state
// word by state word. Output buffers may alias nothing the call reads.
//
// Checks run in this order and stop at the first failure; on failure no
// output is written.
//   Sha2Digest:     null message or digest (even with length 0) -> kSha2NullPointer,
//                   bits -> kSha2BadSize.
//   Sha2Hmac:       bits -> kSha2BadSize, null key with a non-empty key
//                   -> kSha2NullPointer, null message with a non-empty message
//                   -> kSha2NullPointer, null MAC -> kSha2NullPointer.
//   Sha2HmacVerify: as Sha2Hmac (its result is returned unchanged), then a null
//                   `expected` -> kSha2NullPointer; then the first bits/8 bytes
//                   of `expected` are compared (in constant time) and a
//                   difference gives kSha2HmacMismatch. Bytes beyond them are
//                   never read.
// Nothing is allocated: the message is hashed in place, with only the final
// padded block(s) built on the stack, so kSha2MallocFails is never returned.
#include <cstdint>

#include "crypto/core/errors.h"

namespace core {

inline constexpr int32_t kSha2NullPointer = -101;
inline constexpr int32_t kSha2MallocFails = -102;
inline constexpr int32_t kSha2BadSize = -104;
inline constexpr int32_t kSha2HmacMismatch = -106;

int32_t Sha2Digest(const uint8_t* message, uint32_t length, uint32_t bits, uint8_t* digest);

int32_t Sha2Hmac(const uint8_t* message, uint32_t length, const uint8_t* key, uint32_t keyLength,
                 uint32_t bits, uint8_t* mac);

int32_t Sha2HmacVerify(const uint8_t* message, uint32_t length, const uint8_t* key,
                       uint32_t keyLength, uint32_t bits, const uint8_t* expected);

// Block level, for callers that pad and count the message themselves.
// The constants table is filled once by the loader and passed to every block;
// the state is the eight hash words a..h, updated in place. SHA-384 and
// SHA-512 share Sha512CompressBlock (they differ only in initial value and
// output length).
void Sha256RoundConstants(uint32_t table[64]);
void Sha256CompressBlock(const uint8_t block[64], const uint32_t constants[64], uint32_t state[8]);
void Sha512RoundConstants(uint64_t table[80]);
void Sha512CompressBlock(const uint8_t block[128], const uint64_t constants[80], uint64_t state[8]);

// SHA-256 uses the processor's SHA extensions when it has them (decided once,
// at start-up); both paths give identical results. Passing true forces the
// portable path, false restores the start-up choice. For tests and benchmarks.
void Sha256ForcePortable(bool portable);
// True when SHA-256 currently runs on the SHA extensions.
bool Sha256UsesShaNi();

}  // namespace core
