#pragma once
// The PE image checksum: the one's-complement sum of the file's 16-bit little-endian words
// (an odd last byte counts as a word with a zero high byte), folded to 16 bits, plus the file
// length. The CheckSum field itself must be zero in the bytes given. The file may be fed in
// pieces of any size and alignment; fed a range that starts at an even file offset, the
// object gives that range's share of the sum, from which an edit's new checksum follows.
#include <cstdint>
#include <optional>
#include <span>

namespace pe {

class PeChecksum {
public:
    void Update(std::span<const uint8_t> bytes);
    void UpdateZeros(uint64_t count) { length_ += count; }
    uint32_t Finish() const;
    // The folded 16-bit sum of the words fed so far, without the length.
    uint32_t Sum16() const;

private:
    uint64_t sum_ = 0;
    uint64_t length_ = 0;
};

// The checksum of a file edited in place, from the one it had: the sum of its words is
// `stored - oldLength`; the words of the edited ranges leave it (`removed`, their old bytes,
// one object per range that starts at an even offset) and come back (`added`, their new
// bytes). Ones'-complement sums allow the subtraction. Nullopt when `stored` cannot be a
// checksum of a file of `oldLength` bytes.
std::optional<uint32_t> AdjustChecksum(uint32_t stored, uint64_t oldLength,
                                       std::span<const PeChecksum> removed,
                                       std::span<const PeChecksum> added, uint64_t newLength);

}  // namespace pe
