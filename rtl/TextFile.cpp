#include "rtl/TextFile.h"

#include "rtl/CodePage.h"
#include "rtl/Exception.h"

namespace rtl {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

String Utf16(std::string_view bytes, bool bigEndian) {
    String text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<uint8_t>(bytes[i]),
                   second = static_cast<uint8_t>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return text;
}

String Decode(std::string_view bytes, uint32_t codePage) {
    if (bytes.starts_with(kUtf8Bom)) return Utf8Decode(bytes.substr(kUtf8Bom.size()));
    if (bytes.starts_with(kUtf16LeBom)) return Utf16(bytes.substr(2), false);
    if (bytes.starts_with(kUtf16BeBom)) return Utf16(bytes.substr(2), true);
    String text;
    if (!DecodeCodePage(codePage, bytes, text)) text = Cp1252Decode(bytes);
    return text;
}

bool StartsWithAMark(std::string_view bytes) {
    return bytes.starts_with(kUtf8Bom) || bytes.starts_with(kUtf16LeBom) ||
           bytes.starts_with(kUtf16BeBom);
}

}  // namespace

std::string SaveOneLineText(StringView line, uint32_t codePage) {
    std::string bytes;
    bool lossless = false;
    if (codePage == kCodePageUtf8 || !EncodeCodePage(codePage, line, bytes, &lossless) ||
        !lossless || StartsWithAMark(bytes))
        return std::string(kUtf8Bom) + Utf8Encode(line) + "\r\n";
    return bytes + "\r\n";
}

String LoadFirstLine(std::string_view bytes, uint32_t codePage) {
    String text = Decode(bytes, codePage);
    text = text.substr(0, text.find(u'\0'));
    if (text.empty()) throw EListError(0);
    return text.substr(0, text.find_first_of(u"\r\n"));
}

}  // namespace rtl
