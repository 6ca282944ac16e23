#pragma once
// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer keeps the input), and the ways fuzzed bytes become texts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "rtl/String.h"

namespace fuzz {

inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// Consecutive byte pairs as UTF-16 code units, little-endian; an odd last byte is dropped.
inline rtl::String Utf16Text(std::span<const uint8_t> bytes) {
    rtl::String text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

// Each byte as the character of the same code.
inline rtl::String ByteText(std::span<const uint8_t> bytes) {
    return rtl::String(bytes.begin(), bytes.end());
}

}  // namespace fuzz
