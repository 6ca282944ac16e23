#include "crypto/core/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "crypto/core/errors.h"

namespace {

// A draw reaches both ends of the buffer: the chance that a given 32-byte window
// still holds the fill value after a real draw is 2^-256.
bool Overwritten(const std::vector<uint8_t>& buffer, size_t from, uint8_t fill) {
    return std::any_of(buffer.begin() + from, buffer.begin() + from + 32,
                       [fill](uint8_t b) { return b != fill; });
}

class RandomSizes : public testing::TestWithParam<int32_t> {};

TEST_P(RandomSizes, FillsTheWholeBufferAndNothingElse) {
    const int32_t count = GetParam();
    for (uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
        std::vector<uint8_t> buffer(static_cast<size_t>(count) + 64, fill);
        ASSERT_EQ(core::RandomBytes(count, buffer.data() + 32), core::kOk);
        EXPECT_TRUE(Overwritten(buffer, 32, fill));
        EXPECT_TRUE(Overwritten(buffer, static_cast<size_t>(count), fill));
        EXPECT_TRUE(
            std::all_of(buffer.begin(), buffer.begin() + 32, [=](uint8_t b) { return b == fill; }));
        EXPECT_TRUE(
            std::all_of(buffer.end() - 32, buffer.end(), [=](uint8_t b) { return b == fill; }));
    }
}

// 256 is the largest request the Linux generator always completes in one read.
INSTANTIATE_TEST_SUITE_P(Counts, RandomSizes, testing::Values(32, 256, 257, 4096, 1 << 20));

TEST(RandomBytes, TwoDrawsDiffer) {
    std::array<uint8_t, 32> a{}, b{};
    ASSERT_EQ(core::RandomBytes(32, a.data()), core::kOk);
    ASSERT_EQ(core::RandomBytes(32, b.data()), core::kOk);
    EXPECT_NE(a, b);
}

TEST(RandomBytes, EveryByteValueOccurs) {
    std::vector<uint8_t> buffer(1 << 16);
    ASSERT_EQ(core::RandomBytes(static_cast<int32_t>(buffer.size()), buffer.data()), core::kOk);
    std::array<int, 256> seen{};
    for (uint8_t b : buffer) ++seen[b];
    // Expected 256 each; a generator stuck on some bits leaves values at 0.
    EXPECT_GT(*std::min_element(seen.begin(), seen.end()), 128);
    EXPECT_LT(*std::max_element(seen.begin(), seen.end()), 400);
}

TEST(RandomBytes, ZeroCountSucceedsWithoutTouchingTheBuffer) {
    uint8_t byte = 0x5A;
    EXPECT_EQ(core::RandomBytes(0, &byte), core::kOk);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_EQ(core::RandomBytes(0, nullptr), core::kOk);
}

TEST(RandomBytes, InvalidArgumentsFailWithTheRandomCode) {
    uint8_t byte = 0;
    EXPECT_EQ(core::RandomBytes(-1, &byte), core::kRandomFails);
    EXPECT_EQ(core::RandomBytes(INT32_MIN, &byte), core::kRandomFails);
    EXPECT_EQ(core::RandomBytes(16, nullptr), core::kRandomFails);
}

}  // namespace
