#pragma once
// Files and folders, with the system's own words for what went wrong.
#include <cstdint>
#include <string>

namespace platform {

using Path = std::u16string;

enum class Access { read, write, readWrite };
// Who else may open the file while this handle is open. Outside Windows,
// `exclusive` takes an advisory lock that only cooperating openers see.
enum class Share { exclusive, denyWrite, denyNone };
// createNew fails when the file exists, which reserves a name atomically.
enum class Disposition { openExisting, createAlways, createNew };

// An open file; closed when destroyed. Methods report failure with false or a
// negative result and leave the reason in LastErrorText().
class File {
public:
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Opens or creates; check IsOpen().
    static File Open(const Path& path, Access access, Share share, Disposition disposition);

    bool IsOpen() const;
    void Close();
    int64_t Read(void* buffer, int64_t count);         // bytes read, 0 at the end, -1 on failure
    int64_t Write(const void* buffer, int64_t count);  // bytes written, -1 on failure
    int64_t Seek(int64_t offset, int origin);          // origin: 0 start, 1 current, 2 end
    int64_t Size();
    bool Truncate(int64_t size);
    // The descriptor or HANDLE, for the platform's own use.
    intptr_t NativeHandle() const { return handle_; }

private:
    intptr_t handle_ = -1;
};

// The system's text for the last failure of this thread, without a final full stop
// or line break.
std::u16string LastErrorText();
// Records a failure that the platform's own code met (errno or GetLastError()).
void RememberLastError(int code);

bool FileExists(const Path& path);
// Fails, as Windows does, while this process holds a view of the file
// (MappedFile), on every platform.
bool RemoveFile(const Path& path);
bool CopyFileOver(const Path& from, const Path& to);  // replaces `to`
bool RenameFile(const Path& from, const Path& to);    // fails when `to` exists

// What makes a file itself, whatever path names it: device and inode on POSIX,
// volume serial number and file index on Windows.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of an existing file or folder; false when there is none.
bool IdentifyFile(const Path& path, FileIdentity& identity);
// True when both paths name one existing file: hard links, other spellings.
bool SameFile(const Path& a, const Path& b);
// True when both paths name the same file once it exists: the same existing
// file, or, when neither exists yet, the same folder and names that the file
// system takes as equal (letter case aside on Windows).
bool SameLocation(const Path& a, const Path& b);
// Whether the file system takes two file names (no folders) as one name.
bool SameFileName(const Path& a, const Path& b);

// The temporary folder with a final delimiter, in its long form; empty when the
// system reports none (GetTempPathW + GetLongPathNameW; $TMPDIR or /tmp).
Path TempFolder();
// The user's roaming application-data folder, or empty (CSIDL_APPDATA;
// $XDG_DATA_HOME or ~/.local/share).
Path AppDataFolder();
// `path` made absolute against the current directory, with . and .. resolved.
Path FullPath(const Path& path);

}  // namespace platform
