#include "rtl/CodePage.h"

#include <array>

#include "platform/CodePage.h"

namespace rtl {
namespace {

// Windows-1252 characters of the bytes 0x80 to 0x9F; undefined bytes keep their value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool CharToCp1252(char16_t c, uint8_t& byte) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return byte = static_cast<uint8_t>(c), true;
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return byte = static_cast<uint8_t>(0x80 + i), true;
    return false;
}

}  // namespace

char16_t Cp1252ToChar(uint8_t byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : byte;
}

std::string Cp1252Encode(StringView text, bool* lossless) {
    std::string bytes;
    bytes.reserve(text.size());
    bool exact = true;
    for (char16_t c : text) {
        uint8_t byte;
        if (!CharToCp1252(c, byte)) {
            byte = kDefaultChar1252;
            exact = false;
        }
        bytes += static_cast<char>(byte);
    }
    if (lossless) *lossless = exact;
    return bytes;
}

String Cp1252Decode(std::string_view bytes) {
    String text;
    text.reserve(bytes.size());
    for (char b : bytes) text += Cp1252ToChar(static_cast<uint8_t>(b));
    return text;
}

bool EncodeCodePage(uint32_t codePage, StringView text, std::string& bytes, bool* lossless) {
    if (codePage == kCodePageUtf8) {
        bytes = Utf8Encode(text);
        if (lossless) *lossless = Utf8Decode(bytes) == text;
        return true;
    }
    if (codePage == kCodePage1252) {
        bytes = Cp1252Encode(text, lossless);
        return true;
    }
    return platform::EncodeCodePage(codePage, text, bytes, lossless);
}

bool DecodeCodePage(uint32_t codePage, std::string_view bytes, String& text) {
    if (codePage == kCodePageUtf8) {
        text = Utf8Decode(bytes);
        return true;
    }
    if (codePage == kCodePage1252) {
        text = Cp1252Decode(bytes);
        return true;
    }
    return platform::DecodeCodePage(codePage, bytes, text);
}

}  // namespace rtl
