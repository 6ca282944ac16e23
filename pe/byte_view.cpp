#include "pe/byte_view.h"

#include <string>

#include "pe/error.h"

namespace pe {

std::span<const uint8_t> ByteView::Bytes(uint64_t offset, uint64_t length, const char* what) const {
    if (!Contains(offset, length)) {
        throw PeError(std::string(what) + " lies past the end of the data (offset " +
                      std::to_string(offset) + ", length " + std::to_string(length) + ")");
    }
    return bytes_.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
}

uint16_t ByteView::U16(uint64_t offset, const char* what) const {
    const auto b = Bytes(offset, 2, what);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t ByteView::U32(uint64_t offset, const char* what) const {
    const auto b = Bytes(offset, 4, what);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

}  // namespace pe
