#pragma once
// UTF-8 and UTF-16, for every layer above.
#include <string>
#include <string_view>

namespace platform {

// An unpaired surrogate becomes U+FFFD.
std::string Utf8Encode(std::u16string_view text);
// Every byte that does not start a well-formed sequence becomes U+FFFD.
std::u16string Utf8Decode(std::string_view bytes);

}  // namespace platform
