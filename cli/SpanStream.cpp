#include "cli/SpanStream.h"

#include <algorithm>
#include <cstring>

namespace cli {

std::span<const uint8_t> SpanStream::ReadView(int64_t count) {
    const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
    const std::span<const uint8_t> view =
        bytes_.subspan(static_cast<size_t>(position_), static_cast<size_t>(n));
    position_ += n;
    return view;
}

int64_t SpanStream::Read(void* buffer, int64_t count) {
    const std::span<const uint8_t> view = ReadView(count);
    if (!view.empty()) std::memcpy(buffer, view.data(), view.size());
    return static_cast<int64_t>(view.size());
}

int64_t SpanStream::Seek(int64_t offset, rtl::TSeekOrigin origin) {
    const int64_t base = origin == rtl::TSeekOrigin::soBeginning ? 0
                         : origin == rtl::TSeekOrigin::soCurrent ? position_
                                                                 : Size();
    position_ = std::clamp<int64_t>(base + offset, 0, Size());
    return position_;
}

}  // namespace cli
