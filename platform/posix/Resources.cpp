#include "platform/Resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/ReplaceFile.h"
#include "platform/Utf8.h"

namespace platform {

// A POSIX program has no resources of its own unless something installs them.
const ProgramResources& DefaultProgramResources() {
    static const MemoryResources none;
    return none;
}

Path ResolvedPath(const Path& path) {
    char resolved[PATH_MAX];
    if (!::realpath(Utf8Encode(path).c_str(), resolved)) return path;
    return Utf8Decode(resolved);
}

bool CopyPermissions(const Path& original, File& copy) {
    struct stat info;
    if (::stat(Utf8Encode(original).c_str(), &info) != 0 ||
        ::fchmod(static_cast<int>(copy.NativeHandle()), info.st_mode & 07777) != 0) {
        RememberLastError(errno);
        return false;
    }
    return true;
}

bool ReplaceWithStaging(const Path& staging, const Path& target) {
    if (std::rename(Utf8Encode(staging).c_str(), Utf8Encode(target).c_str()) == 0) return true;
    RememberLastError(errno);
    return false;
}

}  // namespace platform
