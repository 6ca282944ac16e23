#include "rtl/Stream.h"

#include <algorithm>
#include <cstring>

#include "rtl/Exception.h"

namespace rtl {

int64_t TStream::Size() {
    const int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

std::span<const uint8_t> TStream::ReadChunk(uint8_t* buffer, int64_t count) {
    if (count <= 0) return {buffer, 0};
    const std::span<const uint8_t> view = ReadView(count);
    if (static_cast<int64_t>(view.size()) == count) return view;
    if (!view.empty()) std::memcpy(buffer, view.data(), view.size());
    auto total = static_cast<int64_t>(view.size());
    while (total < count) {
        const int64_t n = Read(buffer + total, count - total);
        if (n <= 0) break;
        total += n;
    }
    return {buffer, static_cast<size_t>(total)};
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 1 << 20)));
    for (int64_t left = count; left > 0;) {
        const int64_t n = std::min<int64_t>(left, buffer.size());
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

TFileStream::TFileStream(const String& fileName, uint16_t mode) : fileName_(fileName) {
    using platform::Access, platform::Share, platform::Disposition;
    const uint16_t share = mode & 0x00F0;
    const Share sharing = share == fmShareExclusive   ? Share::exclusive
                          : share == fmShareDenyWrite ? Share::denyWrite
                                                      : Share::denyNone;
    if ((mode & fmCreate) == fmCreate) {
        file_ = platform::File::Open(fileName, Access::readWrite,
                                     share ? sharing : Share::exclusive, Disposition::createAlways);
        if (!file_.IsOpen())
            throw EFCreateError(platform::FullPath(fileName), platform::LastErrorText());
        return;
    }
    const uint16_t access = mode & 0x000F;
    const Access accessMode = access == fmOpenWrite       ? Access::write
                              : access == fmOpenReadWrite ? Access::readWrite
                                                          : Access::read;
    file_ = platform::File::Open(fileName, accessMode, sharing, Disposition::openExisting);
    if (!file_.IsOpen()) throw EFOpenError(platform::FullPath(fileName), platform::LastErrorText());
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t n = file_.Read(buffer, count);
    if (n < 0) throw EReadError();
    return n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t n = file_.Write(buffer, count);
    if (n < 0) throw EWriteError();
    return n;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    return file_.Seek(offset, static_cast<int>(origin));
}

int64_t TFileStream::Size() {
    return file_.Size();
}

void TFileStream::SetSize(int64_t value) {
    if (!file_.Truncate(value)) throw EWriteError();
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::span<const uint8_t> TMemoryStream::ReadView(int64_t count) {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    const std::span<const uint8_t> view(bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return view;
}

std::span<uint8_t> TMemoryStream::WriteView(int64_t count) {
    if (count <= 0) return {};
    if (position_ + count > Size()) bytes_.resize(static_cast<size_t>(position_ + count));
    const std::span<uint8_t> view(bytes_.data() + position_, static_cast<size_t>(count));
    position_ += count;
    return view;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (position_ + count > Size()) bytes_.resize(static_cast<size_t>(position_ + count));
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                         : origin == TSeekOrigin::soCurrent ? position_
                                                            : Size();
    position_ = std::max<int64_t>(base + offset, 0);
    return position_;
}

void TMemoryStream::SetSize(int64_t value) {
    bytes_.resize(static_cast<size_t>(std::max<int64_t>(value, 0)));
    position_ = std::min(position_, Size());
}

}  // namespace rtl
