// The hardware path against the byte-oriented reference on random data: every
// mode, both directions, many lengths (below, at and around the eight-block
// batches), all three key sizes, and the one-shot buffers.
#include <gtest/gtest.h>

#include <random>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/cpu.h"
#include "tests/core/aes_test_support.h"

namespace {

using aes_test::Bytes;
using core::aes::Impl;

TEST(AesPaths, HardwareIsChosenExactlyWhenTheProcessorHasIt) {
    EXPECT_EQ(core::AesUsesHardware(), core::CpuHasAesNi());
    EXPECT_EQ(core::aes::Hardware() != nullptr, core::CpuHasAesNi());
    EXPECT_EQ(&core::aes::Active(),
              core::CpuHasAesNi() ? core::aes::Hardware() : &core::aes::Portable());
}

class AesPathsAgree : public testing::Test {
protected:
    void SetUp() override {
        hardware_ = core::aes::Hardware();
        if (hardware_ == nullptr) GTEST_SKIP() << "no AES instructions on this processor";
    }

    Bytes RandomBytes(size_t n) {
        Bytes out(n);
        for (uint8_t& b : out) b = static_cast<uint8_t>(random_());
        return out;
    }

    const Impl* hardware_ = nullptr;
    std::mt19937_64 random_{20240611};
};

TEST_F(AesPathsAgree, BlocksInEveryModeAndDirection) {
    const size_t lengths[] = {1, 2, 3, 7, 8, 9, 15, 16, 17, 23, 24, 25, 63, 64, 65, 100, 257};
    const core::aes::Impl& portable = core::aes::Portable();
    for (int32_t nk : {4, 6, 8}) {
        for (uint32_t mode = 0; mode <= core::kAesCtr; ++mode) {
            for (bool decrypt : {false, true}) {
                auto run = decrypt ? core::aes::DecryptBlocks : core::aes::EncryptBlocks;
                for (size_t blocks : lengths) {
                    SCOPED_TRACE(testing::Message()
                                 << "nk " << nk << " mode " << mode << " decrypt " << decrypt
                                 << " blocks " << blocks);
                    const Bytes key = RandomBytes(32), data = RandomBytes(16 * blocks);
                    Bytes iv = RandomBytes(16);
                    // Counters near the top of their low half exercise the carry.
                    if (mode == core::kAesCtr && blocks % 2 == 1) {
                        for (int i = 8; i < 16; ++i) iv[i] = 0xFF;
                    }
                    uint32_t schedule[core::kAesScheduleWords] = {};
                    ASSERT_EQ(core::AesKeyExpansion(key.data(), schedule, nk), core::kOk);
                    Bytes expected(data.size()), actual(data.size());
                    Bytes expectedState = iv, actualState = iv;
                    ASSERT_EQ(run(portable, mode, data.data(), expected.data(), blocks, schedule,
                                  nk, expectedState.data()),
                              core::kOk);
                    ASSERT_EQ(run(*hardware_, mode, data.data(), actual.data(), blocks, schedule,
                                  nk, actualState.data()),
                              core::kOk);
                    ASSERT_EQ(actual, expected);
                    ASSERT_EQ(actualState, expectedState);
                }
            }
        }
    }
}

TEST_F(AesPathsAgree, BuffersOnRandomLengths) {
    const core::aes::Impl& portable = core::aes::Portable();
    std::uniform_int_distribution<uint32_t> lengthOf(0, 700);
    for (int round = 0; round < 200; ++round) {
        const uint32_t mode = round % 4;
        const int32_t bits = 128 + 64 * (round / 4 % 3);
        const uint32_t length = lengthOf(random_);
        const Bytes key = RandomBytes(32), iv = RandomBytes(16);
        Bytes data = RandomBytes(length);
        data.reserve(1);  // never a null pointer, even for an empty input
        SCOPED_TRACE(testing::Message()
                     << "mode " << mode << " bits " << bits << " length " << length);
        Bytes expected(length + 32), actual(length + 32);
        uint32_t expectedLength = 0, actualLength = 0;
        ASSERT_EQ(
            core::aes::EncryptBuffer(portable, data.data(), length, expected.data(),
                                     &expectedLength, key.data(), bits, 0, iv.data(), 1, mode),
            core::kOk);
        ASSERT_EQ(core::aes::EncryptBuffer(*hardware_, data.data(), length, actual.data(),
                                           &actualLength, key.data(), bits, 0, iv.data(), 1, mode),
                  core::kOk);
        ASSERT_EQ(actualLength, expectedLength);
        ASSERT_EQ(actual, expected);

        // Decrypting random bytes: both paths agree on the code, the length and the bytes.
        const uint32_t size = mode == core::kAesCtr ? length : length / 16 * 16;
        Bytes plainExpected(size + 16, 0), plainActual(size + 16, 0);
        uint32_t plainExpectedLength = 0, plainActualLength = 0;
        const int32_t code =
            core::aes::DecryptBuffer(portable, data.data(), size, plainExpected.data(),
                                     &plainExpectedLength, key.data(), bits, 1, iv.data(), 1, mode);
        ASSERT_EQ(
            core::aes::DecryptBuffer(*hardware_, data.data(), size, plainActual.data(),
                                     &plainActualLength, key.data(), bits, 1, iv.data(), 1, mode),
            code);
        ASSERT_EQ(plainActualLength, plainExpectedLength);
        ASSERT_EQ(plainActual, plainExpected);
    }
}

}  // namespace
