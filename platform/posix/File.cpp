#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/FaultInjection.h"
#include "platform/MappedFile.h"
#include "platform/Utf8.h"
#include "platform/posix/Rename.h"

namespace platform {
namespace {

thread_local int lastError = 0;

bool Fail() {
    lastError = errno;
    return false;
}

// True, with the reason of an I/O error, when a test makes this operation fail.
bool Injected(FileOperation operation, const Path& path = {}) {
    if (!InjectedFailure(operation, path)) return false;
    errno = EIO;
    return !Fail();
}

}  // namespace

File File::Open(const Path& path, Access access, Share share, Disposition disposition) {
    int flags = O_CLOEXEC;
    flags |= access == Access::read ? O_RDONLY : access == Access::write ? O_WRONLY : O_RDWR;
    if (disposition == Disposition::createAlways) flags |= O_CREAT | O_TRUNC;
    if (disposition == Disposition::createNew) flags |= O_CREAT | O_EXCL;
    File file;
    if (Injected(FileOperation::open, path)) return file;
    const int fd = ::open(Utf8Encode(path).c_str(), flags, 0666);
    if (fd < 0) {
        Fail();
        return file;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        {
            Fail();
            return file;
        }
    }
    if (share == Share::exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        Fail();
        ::close(fd);
        return file;
    }
    file.handle_ = fd;
    return file;
}

bool File::IsOpen() const {
    return handle_ >= 0;
}

void File::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

int64_t File::Read(void* buffer, int64_t count) {
    if (Injected(FileOperation::read)) return -1;
    auto* out = static_cast<char*>(buffer);
    int64_t total = 0;
    while (total < count) {
        const ssize_t n = ::read(static_cast<int>(handle_), out + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(), -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

int64_t File::Write(const void* buffer, int64_t count) {
    if (Injected(FileOperation::write)) return -1;
    const auto* in = static_cast<const char*>(buffer);
    const int64_t room = InjectedRoom(count);
    int64_t total = 0;
    while (total < room) {
        const ssize_t n = ::write(static_cast<int>(handle_), in + total, room - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(), -1;
        total += n;
    }
    if (total < count) return errno = ENOSPC, Fail(), -1;
    return total;
}

int64_t File::Seek(int64_t offset, int origin) {
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    const off_t result = ::lseek(static_cast<int>(handle_), offset, whence);
    if (result < 0) return Fail(), -1;
    return result;
}

int64_t File::Size() {
    struct stat info;
    if (::fstat(static_cast<int>(handle_), &info) != 0) return Fail(), -1;
    return info.st_size;
}

bool File::Truncate(int64_t size) {
    return ::ftruncate(static_cast<int>(handle_), size) == 0 || Fail();
}

void RememberLastError(int code) {
    lastError = code;
}

std::u16string LastErrorText() {
    return Utf8Decode(std::strerror(lastError));
}

bool FileExists(const Path& path) {
    struct stat info;
    return ::stat(Utf8Encode(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool RemoveFile(const Path& path) {
    if (Injected(FileOperation::remove, path)) return false;
    if (mapped_views::Holds(path)) return errno = EBUSY, Fail();
    return ::unlink(Utf8Encode(path).c_str()) == 0 || Fail();
}

bool IdentifyFile(const Path& path, FileIdentity& identity) {
    struct stat info;
    if (::stat(Utf8Encode(path).c_str(), &info) != 0) return Fail();
    identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return true;
}

bool SameFileName(const Path& a, const Path& b) {
    return a == b;
}

bool CopyFileOver(const Path& from, const Path& to) {
    if (Injected(FileOperation::copy, to)) return false;
    File source = File::Open(from, Access::read, Share::denyNone, Disposition::openExisting);
    if (!source.IsOpen()) return false;
    File target = File::Open(to, Access::write, Share::denyNone, Disposition::createAlways);
    if (!target.IsOpen()) return false;
    // The kernel copies (or shares the blocks, where the file system can) without the bytes
    // passing through this process; a file system that cannot falls back to reading.
    const int in = static_cast<int>(source.NativeHandle()),
              out = static_cast<int>(target.NativeHandle());
    for (int64_t copied = 0;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t{1} << 30, 0);
        if (n == 0) return true;
        if (n > 0) {
            copied += n;
            continue;
        }
        if (errno == EINTR) continue;
        const bool unsupported =
            errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP;
        if (copied != 0 || !unsupported) return Fail();
        break;
    }
    std::string buffer(1 << 20, '\0');
    for (;;) {
        const int64_t n = source.Read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) return true;
        if (target.Write(buffer.data(), n) != n) return false;
    }
}

bool RenameFile(const Path& from, const Path& to) {
    if (Injected(FileOperation::rename, to)) return false;
    return posix::RenameWithoutReplacing(Utf8Encode(from), Utf8Encode(to), ::link) || Fail();
}

namespace posix {

bool RenameWithoutReplacing(const std::string& from, const std::string& to, LinkFunction link) {
    // link + unlink refuses an existing target atomically, as MoveFileW does.
    if (link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0;
    if (errno != EPERM && errno != EXDEV && errno != ENOSYS) return false;
    if (::access(to.c_str(), F_OK) == 0) return errno = EEXIST, false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace posix

Path TempFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return Utf8Decode(folder);
}

Path AppDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return Utf8Decode(data);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return Utf8Decode(std::string(home) + "/.local/share");
    return {};
}

Path FullPath(const Path& path) {
    std::string native = Utf8Encode(path);
    if (native.empty() || native.front() != '/') {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd)) return path;
        native = std::string(cwd) + "/" + native;
    }
    // Resolve "." and ".." lexically, as GetFullPathNameW does.
    std::string result;
    size_t start = 0;
    while (start <= native.size()) {
        size_t end = native.find('/', start);
        if (end == std::string::npos) end = native.size();
        const std::string part = native.substr(start, end - start);
        if (part == "..") {
            const size_t cut = result.rfind('/');
            result.erase(cut == std::string::npos ? 0 : cut);
        } else if (!part.empty() && part != ".") {
            result += "/" + part;
        }
        start = end + 1;
    }
    if (result.empty() || (native.size() > 1 && native.back() == '/')) result += "/";
    return Utf8Decode(result);
}

}  // namespace platform
