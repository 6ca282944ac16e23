#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Utf8.h"

namespace platform {
namespace {

const uint8_t kEmpty[1] = {};

}  // namespace

MappedFile::~MappedFile() {
    Close();
}

void MappedFile::Close() {
    if (mapped_) ::munmap(const_cast<uint8_t*>(data_), size_);
    if (tracked_) mapped_views::Remove(identity_);
    tracked_ = false;
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

bool MappedFile::Open(const Path& path) {
    // Opened through File so that a failure leaves the same reason text.
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
    void* view = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                        file.NativeHandle(), 0);
    if (view == MAP_FAILED) {
        RememberLastError(errno);
        return false;
    }
    data_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<size_t>(size);
    mapped_ = true;
    return true;
}

}  // namespace platform
