#pragma once
// Read-only bytes whose every access is checked against their length. Offsets and lengths
// are 64-bit so that sums of untrusted 32-bit fields cannot wrap; a read outside the bytes
// throws PeError naming `what` was being read.
#include <cstdint>
#include <span>

namespace pe {

class ByteView {
public:
    ByteView() = default;
    explicit ByteView(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint64_t size() const { return bytes_.size(); }
    std::span<const uint8_t> span() const { return bytes_; }
    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    uint16_t U16(uint64_t offset, const char* what) const;
    uint32_t U32(uint64_t offset, const char* what) const;
    std::span<const uint8_t> Bytes(uint64_t offset, uint64_t length, const char* what) const;
    ByteView Sub(uint64_t offset, uint64_t length, const char* what) const {
        return ByteView(Bytes(offset, length, what));
    }

private:
    std::span<const uint8_t> bytes_;
};

// Little-endian stores into a buffer the caller has sized.
inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace pe
