#pragma once
// BLAKE2b (RFC 7693) and the variable-length hash H' of Argon2 (RFC 9106
// section 3.3).
//
// A state is initialised once, fed any number of times and finished once.
// Finishing leaves f[0] set, which marks the state as used up: feeding it
// data or finishing it again gives kBlake2bReusedState until it is
// initialised again. The block buffer always keeps the last (possibly full)
// block back for Blake2bFinish, which compresses it with the final flag.
#include <cstdint>

#include "crypto/core/errors.h"

namespace core {

inline constexpr int32_t kBlake2bNullPointer = -1501;
inline constexpr int32_t kBlake2bReusedState = -1506;

struct Blake2bState {
    uint64_t h[8];          // chaining value
    uint64_t t[2];          // bytes compressed so far, low word first
    uint64_t f[2];          // f[0] all ones: last block compressed
    uint8_t buffer[128];    // data not yet compressed
    uint32_t buffered;      // 0 to 128
    uint32_t digestLength;  // 1 to 64
};

// Unkeyed state for a digest of `digestLength` bytes. A null state, or a
// length outside 1..64, gives kBlake2bNullPointer.
int32_t Blake2bInitState(Blake2bState* state, uint32_t digestLength);

// Length 0 returns kOk at once, whatever the pointers. Otherwise: null state or
// data -> kBlake2bNullPointer, finished state -> kBlake2bReusedState.
int32_t Blake2bFeed(Blake2bState* state, const uint8_t* data, uint32_t length);

// Null state or output, or capacity below the digest length ->
// kBlake2bNullPointer; finished state -> kBlake2bReusedState. Writes exactly
// digestLength bytes, then wipes the chaining value and the buffer.
int32_t Blake2bFinish(Blake2bState* state, uint8_t* out, uint32_t capacity);

// One-shot BLAKE2b with an optional key of up to 64 bytes. Refused with
// kBlake2bNullPointer: null input with inputLength > 0, null output,
// outLength 0 or above 64, null key with keyLength > 0, keyLength above 64.
int32_t Blake2bDigest(const uint8_t* in, uint32_t inputLength, const uint8_t* key,
                      uint32_t keyLength, uint8_t* out, uint32_t outLength);

// H'(T): T output bytes from `in`. T of 1..64 is one BLAKE2b of LE32(T) || in;
// longer outputs chain 64-byte BLAKE2b values, 32 bytes taken from each.
// T = 0 or a null output gives kBlake2bNullPointer.
int32_t Blake2bExpand(uint8_t* out, uint32_t outLength, const uint8_t* in, uint32_t inputLength);

}  // namespace core
