#include "pe/checksum.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pe {

namespace {

uint64_t Fold32(uint64_t sum) {
    while (sum >> 32) sum = (sum & 0xFFFFFFFF) + (sum >> 32);
    return sum;
}

uint32_t Fold16(uint64_t sum) {
    sum = Fold32(sum);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum);
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
    // Words at even file offsets from here on. 2^16 is 1 modulo 0xFFFF, so a 32-bit word adds
    // the same as its two 16-bit halves and the 64-bit sums fold to 16 bits at the end. Four
    // independent sums let the processor add several words at a time; a block of 2^24 rounds
    // cannot overflow them.
    while (n >= 16) {
        uint64_t lanes[4] = {};
        const size_t rounds = std::min<size_t>(n / 16, size_t{1} << 24);
        for (size_t i = 0; i < rounds; ++i, p += 16) {
            uint32_t w[4];
            std::memcpy(w, p, 16);
            lanes[0] += w[0];
            lanes[1] += w[1];
            lanes[2] += w[2];
            lanes[3] += w[3];
        }
        n -= rounds * 16;
        for (uint64_t lane : lanes) sum = Fold32(sum + Fold32(lane));
    }
    while (n >= 2) {
        sum += uint64_t{p[0]} | (uint64_t{p[1]} << 8);
        p += 2;
        n -= 2;
    }
    if (n == 1) sum += *p;
    sum_ = Fold32(sum);
}

uint32_t PeChecksum::Sum16() const {
    return Fold16(sum_);
}

uint32_t PeChecksum::Finish() const {
    return static_cast<uint32_t>(Sum16() + length_);
}

std::optional<uint32_t> AdjustChecksum(uint32_t stored, uint64_t oldLength,
                                       std::span<const PeChecksum> removed,
                                       std::span<const PeChecksum> added, uint64_t newLength) {
    // A sum of words that are not all zero folds to 1..0xFFFF, never to 0.
    if (stored <= oldLength || stored - oldLength > 0xFFFF) return std::nullopt;
    uint64_t sum = stored - oldLength;
    for (const PeChecksum& range : removed) sum += 0xFFFF - range.Sum16();
    for (const PeChecksum& range : added) sum += range.Sum16();
    const uint32_t folded = Fold16(sum);
    return static_cast<uint32_t>((folded == 0 ? 0xFFFF : folded) + newLength);
}

}  // namespace pe
