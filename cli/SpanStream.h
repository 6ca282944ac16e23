#pragma once
// A read-only stream over bytes it does not own (a mapped resource): reads lend
// the bytes in place, so decrypting from it copies nothing. Writes are refused.
#include <cstdint>
#include <span>

#include "rtl/Exception.h"
#include "rtl/Stream.h"

namespace cli {

class SpanStream : public rtl::TStream {
public:
    explicit SpanStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t) override { throw rtl::EWriteError(); }
    std::span<const uint8_t> ReadView(int64_t count) override;

private:
    std::span<const uint8_t> bytes_;
    int64_t position_ = 0;
};

}  // namespace cli
