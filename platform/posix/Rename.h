#pragma once
// The rename that never replaces an existing file, with the link step given so
// that tests can take the way of file systems without hard links.
#include <string>

namespace platform::posix {

using LinkFunction = int (*)(const char* existing, const char* created);

// Renames `from` to `to` unless `to` exists. A hard link refuses an existing
// target atomically; where the file system has none (FAT answers EPERM), the
// target is looked for first and the file then renamed. errno tells why it failed.
bool RenameWithoutReplacing(const std::string& from, const std::string& to, LinkFunction link);

}  // namespace platform::posix
