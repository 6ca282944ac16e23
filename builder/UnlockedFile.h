#pragma once
// Where a package's decrypted file goes: under the name the package stores, in
// the folder the unlock writes to, and only whole. The unlocker and the
// command-line tool follow the same rules through these two functions.
#include <functional>

#include "rtl/String.h"

namespace builder {

// Refuses a stored name (the package's FILENAME) that is not a bare file name:
// a folder part could send the file anywhere.
void CheckStoredFileName(const rtl::String& fileName);

// Makes the file `fileName` in `folder` (empty: the current folder): `write`
// fills a partial file of a free name beside it ("<name>.part", "<name>
// (2).part", ...), which then replaces a file of that name in one step. When `write` throws or the replacement fails,
// the partial file is removed and a file of that name stays as it was.
// Throws rtl::Exception("Unable to create the file") when the partial file
// cannot be created or cannot replace the file.
void WriteUnlockedFile(const rtl::String& folder, const rtl::String& fileName,
                       const std::function<void(const rtl::String& partial)>& write);

}  // namespace builder
