#pragma once
// What replacing an executable with a rewritten copy needs from the system. Implemented
// beside the resources of each system (posix/Resources.cpp, win32/Resources.cpp).
#include "platform/File.h"

namespace platform {

// The file a path names, through any symbolic links: a link is never replaced by a file.
Path ResolvedPath(const Path& path);

// Gives `copy` the permissions of the file `original`, where the system keeps them on the
// file itself (POSIX mode bits); Windows' replacement keeps them instead.
bool CopyPermissions(const Path& original, File& copy);

// Puts `staging` in the place of `target`, keeping what the system keeps of the target's
// identity (attributes and security on Windows). On failure `target` is unchanged.
bool ReplaceWithStaging(const Path& staging, const Path& target);

}  // namespace platform
