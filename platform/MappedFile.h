#pragma once
// A whole file's bytes, mapped read-only into memory instead of read into a
// buffer: large package data then reaches the resource writer without a copy.
#include <cstdint>
#include <span>

#include "platform/File.h"

namespace platform {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // False when the file cannot be opened or mapped (reason in LastErrorText()).
    // Others may read the file meanwhile but not write it.
    bool Open(const Path& path);
    // Maps a file this process has open (for reading at least); the mapping does not
    // depend on the handle staying open. Unlike Open(path), RemoveFile does not learn of it.
    bool Open(File& file);
    // Unmaps now rather than at destruction; Bytes() is empty afterwards.
    void Close();
    // Valid until destruction; an empty file gives an empty span whose data
    // pointer is still not null.
    std::span<const uint8_t> Bytes() const { return {data_, size_}; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    bool mapped_ = false;
    bool tracked_ = false;
    FileIdentity identity_;
};

namespace mapped_views {
// The files this process holds views of; RemoveFile refuses them.
void Add(const FileIdentity& identity);
void Remove(const FileIdentity& identity);
bool Holds(const Path& path);
}  // namespace mapped_views

}  // namespace platform
