#include "platform/MappedFile.h"

#include <windows.h>

namespace platform {
namespace {

const uint8_t kEmpty[1] = {};

}  // namespace

MappedFile::~MappedFile() {
    Close();
}

void MappedFile::Close() {
    if (mapped_) UnmapViewOfFile(data_);
    if (tracked_) mapped_views::Remove(identity_);
    tracked_ = false;
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

bool MappedFile::Open(const Path& path) {
    File file = File::Open(path, Access::read, Share::denyWrite, Disposition::openExisting);
    if (!file.IsOpen() || !Open(file)) return false;
    tracked_ = mapped_ && IdentifyFile(path, identity_);
    if (tracked_) mapped_views::Add(identity_);
    return true;
}

bool MappedFile::Open(File& file) {
    Close();
    const int64_t size = file.Size();
    if (size < 0) return false;
    if (size == 0) {
        data_ = kEmpty;
        return true;
    }
    // The view keeps the file mapped after both handles are closed.
    HANDLE mapping = CreateFileMappingW(reinterpret_cast<HANDLE>(file.NativeHandle()), nullptr,
                                        PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        RememberLastError(static_cast<int>(GetLastError()));
        return false;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    const DWORD error = GetLastError();
    CloseHandle(mapping);
    if (!view) {
        RememberLastError(static_cast<int>(error));
        return false;
    }
    data_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<size_t>(size);
    mapped_ = true;
    return true;
}

}  // namespace platform
