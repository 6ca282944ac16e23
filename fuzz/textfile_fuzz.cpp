// One-line text files. Loading any bytes gives a line or EListError; saving any
// one-line value and loading it again gives the value back, in the code pages a
// package can be written in (1252 everywhere, UTF-8 as a Windows ANSI code page).
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "rtl/CodePage.h"
#include "rtl/Exception.h"
#include "rtl/TextFile.h"

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A value a one-line file can hold: no line breaks, no zero character, and no
// unpaired surrogate (which no encoding of the file can carry).
rtl::String OneLineValue(rtl::String text) {
    rtl::String value;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == 0) continue;
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            value += text.substr(i++, 2);
        } else if (!IsHighSurrogate(c) && !IsLowSurrogate(c)) {
            value += c;
        }
    }
    return value;
}

void Load(std::string_view bytes, uint32_t codePage) {
    try {
        (void)rtl::LoadFirstLine(bytes, codePage);
    } catch (const rtl::EListError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Load(bytes, rtl::kCodePage1252);
    Load(bytes, rtl::kCodePageUtf8);

    const rtl::String value = OneLineValue(fuzz::Utf16Text({data, size}));
    for (const uint32_t codePage : {rtl::kCodePage1252, rtl::kCodePageUtf8}) {
        const std::string saved = rtl::SaveOneLineText(value, codePage);
        fuzz::Check(rtl::LoadFirstLine(saved, codePage) == value,
                    "a saved one-line value loads back as another text");
    }
    return 0;
}
