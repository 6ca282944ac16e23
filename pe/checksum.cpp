#include "pe/checksum.h"

#include <bit>
#include <cstring>

namespace pe {

namespace {

uint64_t Fold32(uint64_t sum) {
    while (sum >> 32) sum = (sum & 0xFFFFFFFF) + (sum >> 32);
    return sum;
}

}  // namespace

void PeChecksum::Update(std::span<const uint8_t> bytes) {
    static_assert(std::endian::native == std::endian::little);
    const uint8_t* p = bytes.data();
    size_t n = bytes.size();
    if (n == 0) return;
    uint64_t sum = sum_;
    if (length_ & 1) {
        sum += uint64_t{*p} << 8;
        ++p;
        --n;
    }
    length_ += bytes.size();
    // Words at even file offsets from here on. 2^32 is 1 modulo 0xFFFF, so summing 32-bit
    // halves and folding later gives the same 16-bit result as summing 16-bit words.
    while (n >= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        sum += (v & 0xFFFFFFFF) + (v >> 32);
        p += 8;
        n -= 8;
        if ((sum >> 62) != 0) sum = Fold32(sum);
    }
    while (n >= 2) {
        sum += uint64_t{p[0]} | (uint64_t{p[1]} << 8);
        p += 2;
        n -= 2;
    }
    if (n == 1) sum += *p;
    sum_ = Fold32(sum);
}

uint32_t PeChecksum::Finish() const {
    uint64_t sum = Fold32(sum_);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + length_);
}

}  // namespace pe
