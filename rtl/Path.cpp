#include "rtl/Path.h"

#include "platform/File.h"

namespace rtl {
namespace {

size_t NameStart(StringView path) {
    const size_t last = path.find_last_of(kPathDelimiters);
    return last == StringView::npos ? 0 : last + 1;
}

size_t ExtensionStart(StringView path) {
    const size_t dot = path.find_last_of(u'.');
    return dot == StringView::npos || dot < NameStart(path) ? path.size() : dot;
}

}  // namespace

String ExtractFileName(StringView path) {
    return String(path.substr(NameStart(path)));
}

String ExtractFilePath(StringView path) {
    return String(path.substr(0, NameStart(path)));
}

String ExtractFileExt(StringView path) {
    return String(path.substr(ExtensionStart(path)));
}

String ChangeFileExt(StringView path, StringView extension) {
    return String(path.substr(0, ExtensionStart(path))) + String(extension);
}

String IncludeTrailingPathDelimiter(StringView path) {
    String result(path);
    if (result.empty() || result.back() != PathDelim) result += PathDelim;
    return result;
}

String ExpandFileName(StringView path) {
    return platform::FullPath(String(path));
}

namespace {

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - 0x20 : c;
}

bool IsDeviceName(StringView name) {
    String stem(name.substr(0, name.find(u'.')));
    while (!stem.empty() && stem.back() == u' ') stem.pop_back();
    for (char16_t& c : stem) c = UpperAscii(c);
    if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") return true;
    return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

}  // namespace

bool IsBareFileName(StringView name) {
    constexpr StringView forbidden = u"<>:\"/\\|?*";
    if (name.empty() || name == u"." || name == u"..") return false;
    for (char16_t c : name)
        if (c < 0x20 || forbidden.find(c) != StringView::npos) return false;
    if (name.back() == u' ' || name.back() == u'.') return false;
    return !IsDeviceName(name);
}

}  // namespace rtl
