#include "platform/File.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"
#include "platform/MappedFile.h"

namespace platform {
namespace {

thread_local DWORD lastError = 0;

bool Fail() {
    lastError = GetLastError();
    return false;
}

// True, with the reason of an I/O error, when a test makes this operation fail.
bool Injected(FileOperation operation, const Path& path = {}) {
    if (!InjectedFailure(operation, path)) return false;
    SetLastError(ERROR_WRITE_FAULT);
    return !Fail();
}

const wchar_t* Wide(const Path& path) {
    return reinterpret_cast<const wchar_t*>(path.c_str());
}

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Path FromWide(const wchar_t* text, size_t length) {
    return Path(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace

File File::Open(const Path& path, Access access, Share share, Disposition disposition) {
    const DWORD desired = access == Access::read    ? GENERIC_READ
                          : access == Access::write ? GENERIC_WRITE
                                                    : GENERIC_READ | GENERIC_WRITE;
    const DWORD mode = share == Share::exclusive   ? 0
                       : share == Share::denyWrite ? FILE_SHARE_READ
                                                   : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD creation = disposition == Disposition::createAlways ? CREATE_ALWAYS
                           : disposition == Disposition::createNew  ? CREATE_NEW
                                                                    : OPEN_EXISTING;
    File file;
    if (Injected(FileOperation::open, path)) return file;
    HANDLE handle =
        CreateFileW(Wide(path), desired, mode, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Fail();
        return file;
    }
    file.handle_ = reinterpret_cast<intptr_t>(handle);
    return file;
}

bool File::IsOpen() const {
    return handle_ != -1;
}

void File::Close() {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

int64_t File::Read(void* buffer, int64_t count) {
    if (Injected(FileOperation::read)) return -1;
    auto* out = static_cast<char*>(buffer);
    int64_t total = 0;
    while (total < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30));
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), out + total, chunk, &got, nullptr)) return Fail(), -1;
        if (got == 0) break;
        total += got;
    }
    return total;
}

int64_t File::Write(const void* buffer, int64_t count) {
    if (Injected(FileOperation::write)) return -1;
    const auto* in = static_cast<const char*>(buffer);
    const int64_t room = InjectedRoom(count);
    int64_t total = 0;
    while (total < room) {
        const DWORD chunk = static_cast<DWORD>(std::min<int64_t>(room - total, 1 << 30));
        DWORD put = 0;
        if (!WriteFile(AsHandle(handle_), in + total, chunk, &put, nullptr) || put == 0)
            return Fail(), -1;
        total += put;
    }
    if (total < count) return SetLastError(ERROR_DISK_FULL), Fail(), -1;
    return total;
}

int64_t File::Seek(int64_t offset, int origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    const DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(AsHandle(handle_), distance, &result, method)) return Fail(), -1;
    return result.QuadPart;
}

int64_t File::Size() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(handle_), &size)) return Fail(), -1;
    return size.QuadPart;
}

bool File::Truncate(int64_t size) {
    const int64_t position = Seek(0, 1);
    if (position < 0 || Seek(size, 0) < 0) return false;
    const bool done = SetEndOfFile(AsHandle(handle_)) || Fail();
    Seek(position < size ? position : size, 0);
    return done;
}

void RememberLastError(int code) {
    lastError = static_cast<DWORD>(code);
}

std::u16string LastErrorText() {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, lastError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string result = length ? FromWide(text, length) : std::u16string();
    LocalFree(text);
    while (!result.empty() && (result.back() == u'\r' || result.back() == u'\n' ||
                               result.back() == u' ' || result.back() == u'.'))
        result.pop_back();
    if (result.empty())
        result = u"Error " + [] {
            std::u16string digits;
            for (char c : std::to_string(lastError)) digits += static_cast<char16_t>(c);
            return digits;
        }();
    return result;
}

bool FileExists(const Path& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const Path& path) {
    if (Injected(FileOperation::remove, path)) return false;
    if (mapped_views::Holds(path)) {
        lastError = ERROR_USER_MAPPED_FILE;
        return false;
    }
    return DeleteFileW(Wide(path)) || Fail();
}

bool IdentifyFile(const Path& path, FileIdentity& identity) {
    // Backup semantics open folders too; no access right is needed for the query.
    HANDLE handle =
        CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Fail();
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) || Fail();
    CloseHandle(handle);
    if (!known) return false;
    identity = {info.dwVolumeSerialNumber,
                (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return true;
}

bool SameFileName(const Path& a, const Path& b) {
    return CompareStringOrdinal(Wide(a), static_cast<int>(a.size()), Wide(b),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool CopyFileOver(const Path& from, const Path& to) {
    if (Injected(FileOperation::copy, to)) return false;
    return CopyFileW(Wide(from), Wide(to), FALSE) || Fail();
}

bool RenameFile(const Path& from, const Path& to) {
    if (Injected(FileOperation::rename, to)) return false;
    return MoveFileW(Wide(from), Wide(to)) || Fail();
}

Path TempFolder() {
    wchar_t shortPath[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, shortPath);
    if (length == 0 || length > MAX_PATH) return {};
    std::vector<wchar_t> longPath(32768);
    const DWORD longLength = GetLongPathNameW(shortPath, longPath.data(), longPath.size());
    if (longLength == 0 || longLength >= longPath.size()) return FromWide(shortPath, length);
    return FromWide(longPath.data(), longLength);
}

Path AppDataFolder() {
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return {};
    return FromWide(folder, wcslen(folder));
}

Path FullPath(const Path& path) {
    const DWORD size = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(Wide(path), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    return FromWide(full.data(), length);
}

}  // namespace platform
