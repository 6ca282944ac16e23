#pragma once
// The system's ANSI code page and conversions through code pages that only the
// operating system knows. Windows-1252 and UTF-8 are converted by rtl/ itself.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// GetACP() on Windows; 1252 elsewhere.
uint32_t AnsiCodePage();

// Converts with an installed code page, the missing characters becoming the
// code page's default character; `lossless` tells whether none was missing.
// False when the code page is not available (always, outside Windows).
bool EncodeCodePage(uint32_t codePage, std::u16string_view text, std::string& bytes,
                    bool* lossless);
bool DecodeCodePage(uint32_t codePage, std::string_view bytes, std::u16string& text);

}  // namespace platform
