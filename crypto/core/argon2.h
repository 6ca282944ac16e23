#pragma once
// Argon2d (RFC 9106), version 0x13, in the one profile the product uses: one
// lane computed in the calling thread, a 16-byte salt, no secret and no
// associated data.
#include <cstdint>

#include "crypto/core/errors.h"

namespace core {

inline constexpr int32_t kArgon2NullPointer = -1401;
inline constexpr int32_t kArgon2MallocFails = -1402;
inline constexpr int32_t kArgon2OutputTooShort = -1405;
inline constexpr int32_t kArgon2MemoryTooLittle = -1409;
inline constexpr int32_t kArgon2CounterTooLittle = -1411;

// Derives a `tagLength`-byte tag from `passes` (t), `memoryKiB` (m), the
// password and the 16 bytes at `salt`.
//
// Checks, in order: tagLength < 4 -> kArgon2OutputTooShort; the tagLength-byte
// working tag buffer cannot be allocated -> kArgon2MallocFails; null password
// with passwordLength > 0, or null salt -> kArgon2NullPointer; m < 8 ->
// kArgon2MemoryTooLittle; t = 0 -> kArgon2CounterTooLittle; the memory cannot
// be allocated -> kArgon2MallocFails. There is no upper bound on m or t.
//
// Memory: one zero-filled allocation of 4 x floor(m / 4) blocks of 1 KiB,
// requested before any block is computed, wiped and released before return.
// The requested m, not the rounded one, enters the hash.
// A null `out` computes the tag and writes nothing; on failure `out` is not
// written.
int32_t Argon2dDerive(uint32_t passes, uint32_t memoryKiB, const uint8_t* password,
                      uint32_t passwordLength, const uint8_t* salt, uint8_t* out,
                      uint32_t tagLength);

}  // namespace core
