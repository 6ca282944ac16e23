#pragma once
// Text in Cofrex is UTF-16, as the components and windows expect.
#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

using String = std::u16string;
using StringView = std::u16string_view;

// Converts ASCII or UTF-8 program text to String (for literals and numbers).
String Str(std::string_view utf8);
String IntToStr(int64_t value);

// UTF-8 of a String; an unpaired surrogate becomes U+FFFD.
std::string Utf8Encode(StringView text);
// A String from UTF-8; every ill-formed sequence becomes U+FFFD.
String Utf8Decode(std::string_view bytes);

}  // namespace rtl
