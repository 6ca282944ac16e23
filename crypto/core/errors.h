#pragma once
// Error codes of the cryptographic core and their messages.
//
// Every core function returns 0 for success or a negative code. Codes are
// grouped by hundreds, one family per algorithm; within every family the codes
// ending in 01, 02 and 03 mean "null pointer", "allocation failed" and "file
// failed to open".
#include <cstddef>
#include <cstdint>

namespace core {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kNullPointer = -1;
inline constexpr int32_t kMallocFails = -2;
inline constexpr int32_t kFileOpenFails = -3;
inline constexpr int32_t kRandomFails = -12;

// Size of the buffer that ErrorCodeMessage fills: at most 1999 characters and a zero.
inline constexpr std::size_t kErrorMessageSize = 2000;

// Writes the zero-terminated message of `code` into `destination`, which must
// hold kErrorMessageSize bytes; every byte of it is written (zeros after the
// text). Known codes read "error : " + text; anything else "unknown error!".
void ErrorCodeMessage(int32_t code, char* destination);

}  // namespace core
