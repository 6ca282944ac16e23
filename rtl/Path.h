#pragma once
// Paths with the platform's delimiters: "\" and ":" on Windows, "/" elsewhere.
// Nothing else in Cofrex splits paths by hand.
#include "rtl/String.h"

namespace rtl {

#ifdef _WIN32
inline constexpr char16_t PathDelim = u'\\';
inline constexpr StringView kPathDelimiters = u"\\:";
#else
inline constexpr char16_t PathDelim = u'/';
inline constexpr StringView kPathDelimiters = u"/";
#endif

// The name after the last delimiter: "C:\a\b.txt" gives "b.txt".
String ExtractFileName(StringView path);
// The folder up to and including the last delimiter: "C:\a\b.txt" gives "C:\a\".
String ExtractFilePath(StringView path);
// From the last "." of the file name on, "." included; empty when the name has none.
String ExtractFileExt(StringView path);
// `path` with its extension replaced by `extension` (which includes its ".").
String ChangeFileExt(StringView path, StringView extension);
String IncludeTrailingPathDelimiter(StringView path);
// Absolute path against the current directory.
String ExpandFileName(StringView path);

// True when `name` names a file in the current directory on every platform: not
// empty, not "." or "..", no drive or folder part, none of the characters Windows
// forbids in file names (control characters and < > : " / \ | ? *), no trailing
// space or "." (Windows would drop them), and not a device name (CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, with or without an extension, any case).
bool IsBareFileName(StringView name);

}  // namespace rtl
