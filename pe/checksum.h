#pragma once
// The PE image checksum: the one's-complement sum of the file's 16-bit little-endian words
// (an odd last byte counts as a word with a zero high byte), folded to 16 bits, plus the file
// length. The CheckSum field itself must be zero in the bytes given. The file may be fed in
// pieces of any size and alignment.
#include <cstdint>
#include <span>

namespace pe {

class PeChecksum {
public:
    void Update(std::span<const uint8_t> bytes);
    void UpdateZeros(uint64_t count) { length_ += count; }
    uint32_t Finish() const;

private:
    uint64_t sum_ = 0;
    uint64_t length_ = 0;
};

}  // namespace pe
