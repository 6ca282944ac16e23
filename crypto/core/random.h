#pragma once
// The only source of randomness: the operating system's cryptographic generator.
#include <cstdint>

namespace core {

// Fills destination[0, count) with cryptographically secure random bytes.
//
// Windows: a fresh verify-only, silent PROV_RSA_FULL context per call
// (CryptAcquireContextW, CryptGenRandom, CryptReleaseContext); nothing is cached.
// Elsewhere: the kernel's generator through getrandom(2), which blocks until it is
// seeded and is retried over short reads and interrupted calls.
//
// Returns kOk, or kRandomFails (-12) when the generator fails, when count < 0, or
// when destination is null while count > 0. count == 0 returns kOk without touching
// destination (which may then be null). After a failure the buffer content is
// undefined and must not be used.
int32_t RandomBytes(int32_t count, uint8_t* destination);

}  // namespace core
