#pragma once
// 8-bit code pages.
//
// The crypto components' "system 8-bit code page" is Windows-1252 on every
// platform, so packages are identical whatever machine made them. Bytes 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D, which 1252 leaves undefined, map to U+0081 and so
// on, so every byte round-trips.
#include <cstdint>
#include <string>

#include "rtl/String.h"

namespace rtl {

inline constexpr uint32_t kCodePage1252 = 1252;
inline constexpr uint32_t kCodePageUtf8 = 65001;
inline constexpr char kDefaultChar1252 = '?';

// The 1252 character of one byte.
char16_t Cp1252ToChar(uint8_t byte);
// Bytes of a text in 1252; a character it lacks becomes '?'. `lossless`, when
// given, tells whether every character was represented.
std::string Cp1252Encode(StringView text, bool* lossless = nullptr);
String Cp1252Decode(std::string_view bytes);

// The system 8-bit code page of the crypto components (rules S and P).
inline std::string SystemEncode(StringView text) {
    return Cp1252Encode(text);
}
inline String SystemDecode(std::string_view bytes) {
    return Cp1252Decode(bytes);
}

// Any code page the platform converts: 1252 and UTF-8 everywhere, every
// installed code page on Windows. `lossless` as above; returns false when the
// code page is not available.
bool EncodeCodePage(uint32_t codePage, StringView text, std::string& bytes, bool* lossless);
bool DecodeCodePage(uint32_t codePage, std::string_view bytes, String& text);

}  // namespace rtl
