#include "platform/Program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/FaultInjection.h"
#include "platform/Utf8.h"

extern char** environ;

namespace platform {

Path RunningProgramFileName() {
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) return {};
    buffer.resize(static_cast<size_t>(length));
    return Utf8Decode(buffer);
}

// The desktop's opener. Its exit is not awaited: the child is left to init by a
// short-lived intermediate process, so no zombie remains.
bool ShellOpen(const Path& file, intptr_t) {
    const std::string name = Utf8Encode(file);
    const pid_t middle = ::fork();
    if (middle < 0) return RememberLastError(errno), false;
    if (middle == 0) {
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(name.c_str()), nullptr};
        pid_t opener;
        ::posix_spawnp(&opener, "xdg-open", nullptr, nullptr, argv, environ);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(middle, &status, 0);
    return true;
}

bool RenameFileReplacing(const Path& from, const Path& to) {
    if (InjectedFailure(FileOperation::rename, to)) return RememberLastError(EIO), false;
    if (std::rename(Utf8Encode(from).c_str(), Utf8Encode(to).c_str()) == 0) return true;
    RememberLastError(errno);
    return false;
}

}  // namespace platform
