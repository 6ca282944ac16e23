#include "rtl/String.h"

#include "platform/Utf8.h"

namespace rtl {

std::string Utf8Encode(StringView text) {
    return platform::Utf8Encode(text);
}
String Utf8Decode(std::string_view bytes) {
    return platform::Utf8Decode(bytes);
}
String Str(std::string_view utf8) {
    return platform::Utf8Decode(utf8);
}
String IntToStr(int64_t value) {
    return Str(std::to_string(value));
}

}  // namespace rtl
