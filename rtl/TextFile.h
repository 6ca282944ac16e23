#pragma once
// One-line text files, as a text list saves and loads them.
//
// Saved: the line in an 8-bit code page, then CR LF; a UTF-8 byte-order mark
// comes first only when the code page is UTF-8. A line that the code page cannot
// represent exactly, or whose bytes would begin like a byte-order mark ("ÿþ" is
// FF FE in Windows-1252), is saved as UTF-8 with its byte-order mark instead, so
// that it reads back as it was.
// Loaded: a byte-order mark selects the encoding (EF BB BF UTF-8, FF FE UTF-16LE,
// FE FF UTF-16BE), otherwise the given code page; the text ends at its first
// zero character, lines break at CR LF, CR or LF, and the first line is the value.
#include <cstdint>
#include <string>

#include "rtl/String.h"

namespace rtl {

std::string SaveOneLineText(StringView line, uint32_t codePage);
// Throws EListError(0) when the text holds no line at all.
String LoadFirstLine(std::string_view bytes, uint32_t codePage);

}  // namespace rtl
