#pragma once
// Seekable byte streams: files and memory.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/File.h"
#include "rtl/Component.h"
#include "rtl/String.h"

namespace rtl {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Up to `count` bytes; fewer only at the end of the stream.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    virtual void SetSize(int64_t value) = 0;

    // A stream that holds its bytes in memory lends up to `count` of them from the
    // position on and moves past them, instead of copying them; the view lasts until
    // the stream changes. Other streams lend nothing.
    virtual std::span<const uint8_t> ReadView(int64_t) { return {}; }
    // Likewise for writing: such a stream makes room for `count` bytes at the position
    // (growing as a write would), lends them to be filled in and moves past them.
    virtual std::span<uint8_t> WriteView(int64_t) { return {}; }

    // The next bytes, up to `count`: lent when the stream can, otherwise read into
    // `buffer` (room for `count` bytes), in as many reads as the stream needs.
    // Fewer than `count` only at the end of the stream.
    std::span<const uint8_t> ReadChunk(uint8_t* buffer, int64_t count);

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t value) { Seek(value, TSeekOrigin::soBeginning); }

    // Exactly `count` bytes, or EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies `count` bytes from the source's position; 0 copies the whole source
    // from its start. Returns the count copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Open modes of file streams: one access mode combined with one share mode.
inline constexpr uint16_t fmCreate = 0xFF00;  // create or truncate, read and write
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// Read and write failures of the file raise EReadError / EWriteError; a file that
// cannot be opened raises EFOpenError, one that cannot be created EFCreateError.
class TFileStream : public TStream {
public:
    TFileStream(const String& fileName, uint16_t mode);
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t value) override;
    const String& FileName() const { return fileName_; }

private:
    String fileName_;
    platform::File file_;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t value) override;
    std::span<const uint8_t> ReadView(int64_t count) override;
    std::span<uint8_t> WriteView(int64_t count) override;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

}  // namespace rtl
