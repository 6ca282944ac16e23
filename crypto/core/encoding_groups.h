#pragma once
// Group decoding shared by Base64, Base64url and Base32; internal to the core.
#include <cstddef>
#include <cstdint>

namespace core::encoding_detail {

// A decoding alphabet: values for the codes 0 to size - 1, 0 for anything else.
struct Alphabet {
    const uint8_t* values;
    size_t size;
    int groupChars;   // 4 or 8
    int bitsPerChar;  // 6 or 5
};

// Decodes text as documented in crypto/core/encoding.h.
int32_t DecodeGroups(const char* text, uint8_t* destination, const Alphabet& alphabet);

}  // namespace core::encoding_detail
