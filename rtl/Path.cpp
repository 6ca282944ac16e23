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

}  // namespace rtl
