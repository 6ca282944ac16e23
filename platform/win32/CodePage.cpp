#include "platform/CodePage.h"

#include <windows.h>

namespace platform {

uint32_t AnsiCodePage() {
    return GetACP();
}

bool EncodeCodePage(uint32_t codePage, std::u16string_view text, std::string& bytes,
                    bool* lossless) {
    bytes.clear();
    if (lossless) *lossless = true;
    if (text.empty()) return IsValidCodePage(codePage) != 0;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int count = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, count, nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return false;
    bytes.resize(size);
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, count, bytes.data(), size,
                            nullptr, &usedDefault) != size)
        return false;
    if (lossless) *lossless = !usedDefault;
    return true;
}

bool DecodeCodePage(uint32_t codePage, std::string_view bytes, std::u16string& text) {
    text.clear();
    if (bytes.empty()) return IsValidCodePage(codePage) != 0;
    const int count = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    if (size <= 0) return false;
    text.resize(size);
    return MultiByteToWideChar(codePage, 0, bytes.data(), count,
                               reinterpret_cast<wchar_t*>(text.data()), size) == size;
}

}  // namespace platform
