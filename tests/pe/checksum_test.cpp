#include "pe/checksum.h"

#include <gtest/gtest.h>

#include <cstring>

#include "pe/format.h"
#include "pe/image.h"
#include "tests/pe/test_support.h"

namespace {

// Plain word-by-word sum, as the format defines it.
uint32_t ReferenceChecksum(const std::vector<uint8_t>& file, uint64_t fieldOffset) {
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        if (i >= fieldOffset && i < fieldOffset + 4) continue;
        sum += file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size());
}

uint32_t Checksum(std::vector<uint8_t> file, uint64_t fieldOffset) {
    std::memset(&file[fieldOffset], 0, 4);
    pe::PeChecksum c;
    c.Update(file);
    return c.Finish();
}

TEST(PeChecksum, MatchesTheValueTheLinkerStored) {
    const auto file = pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    const pe::PeImage image(file);
    const uint64_t field = image.OptionalHeaderOffset() + pe::format::kOhCheckSum;
    uint32_t stored;
    std::memcpy(&stored, &file[field], 4);
    ASSERT_NE(stored, 0u);
    EXPECT_EQ(Checksum(file, field), stored);
}

// Odd and even lengths, pieces split at every kind of boundary, zero runs.
TEST(PeChecksum, PiecesAtAnyBoundaryEqualOneShot) {
    for (size_t size : {0u, 1u, 2u, 7u, 64u, 1001u, 4096u}) {
        std::vector<uint8_t> data = pe_test::Pattern(size, static_cast<uint32_t>(size));
        const uint32_t oneShot = ReferenceChecksum(data, ~uint64_t{0} - 8);
        pe::PeChecksum whole;
        whole.Update(data);
        EXPECT_EQ(whole.Finish(), oneShot) << size;
        for (size_t a = 0; a <= size; a += 1 + size / 9) {
            for (size_t b = a; b <= size; b += 1 + size / 7) {
                pe::PeChecksum split;
                split.Update(std::span(data).subspan(0, a));
                split.Update(std::span(data).subspan(a, b - a));
                split.Update(std::span(data).subspan(b));
                EXPECT_EQ(split.Finish(), oneShot) << size << " " << a << " " << b;
            }
        }
        std::vector<uint8_t> zeros(size + 3, 0);
        if (size != 0) zeros[0] = data[0];
        pe::PeChecksum runs;
        runs.Update(std::span(zeros).subspan(0, 1));
        runs.UpdateZeros(size + 2);
        EXPECT_EQ(runs.Finish(), ReferenceChecksum(zeros, ~uint64_t{0} - 8));
    }
}

TEST(PeChecksum, CarriesFoldOnAllOnes) {
    const std::vector<uint8_t> ones(100003, 0xFF);
    pe::PeChecksum c;
    c.Update(ones);
    EXPECT_EQ(c.Finish(), ReferenceChecksum(ones, ~uint64_t{0} - 8));
}

}  // namespace
