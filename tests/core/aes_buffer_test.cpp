// One-shot buffers, padding, lengths, check order, counter carry and chunking,
// on every implementation.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "tests/core/aes_test_support.h"

namespace {

using aes_test::Bytes;
using aes_test::FromHex;
using aes_test::ToHex;
using core::aes::Impl;

constexpr uint32_t kModes[] = {core::kAesEcb, core::kAesCbc, core::kAesOfb, core::kAesCtr};
constexpr uint32_t kUnset = 0xDEADBEEF;

class AesBuffer : public testing::TestWithParam<const Impl*> {
protected:
    const Impl& impl() const { return *GetParam(); }

    int32_t Encrypt(const Bytes& plaintext, Bytes& out, uint32_t& length, bool randomIv,
                    bool padding, uint32_t mode, int32_t bits = 256) {
        out.assign(plaintext.size() + 48, 0xEE);
        Bytes input = plaintext;
        input.push_back(0);  // never a null pointer, even for an empty input
        return core::aes::EncryptBuffer(impl(), input.data(),
                                        static_cast<uint32_t>(plaintext.size()), out.data(),
                                        &length, key_, bits, randomIv, iv_, padding, mode);
    }

    int32_t Decrypt(const Bytes& ciphertext, Bytes& out, uint32_t& length, bool ivInInput,
                    bool padding, uint32_t mode, int32_t bits = 256) {
        out.assign(ciphertext.size() + 32, 0xEE);
        Bytes input = ciphertext;
        input.push_back(0);
        return core::aes::DecryptBuffer(impl(), input.data(),
                                        static_cast<uint32_t>(ciphertext.size()), out.data(),
                                        &length, key_, bits, ivInInput, iv_, padding, mode);
    }

    // Encrypts raw blocks without padding, to build final blocks of a chosen shape.
    Bytes RawEncrypt(const Bytes& plaintext, uint32_t mode) {
        Bytes out;
        uint32_t length = 0;
        EXPECT_EQ(Encrypt(plaintext, out, length, false, false, mode), core::kOk);
        out.resize(length);
        return out;
    }

    uint8_t key_[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                        17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
    uint8_t iv_[16] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                       0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
};

// Output length for every mode, padding and IV placement, and the round trip.
TEST_P(AesBuffer, OutputLengthsAndRoundTrip) {
    struct Row {
        uint32_t length;
        bool padding;
        uint32_t expected;  // without an IV in front
    };
    const Row rows[] = {{0, true, 16},   {15, true, 16},  {16, true, 32}, {17, true, 32},
                        {31, true, 32},  {32, true, 48},  {0, false, 0},  {32, false, 32},
                        {48, false, 48}, {200, true, 208}};
    for (uint32_t mode : kModes) {
        for (bool randomIv : {false, true}) {
            for (const Row& row : rows) {
                SCOPED_TRACE(testing::Message()
                             << "mode " << mode << " random IV " << randomIv << " length "
                             << row.length << " padding " << row.padding);
                Bytes plaintext(row.length);
                for (uint32_t i = 0; i < row.length; ++i) plaintext[i] = static_cast<uint8_t>(i);
                Bytes ciphertext, back;
                uint32_t length = kUnset;
                ASSERT_EQ(Encrypt(plaintext, ciphertext, length, randomIv, row.padding, mode),
                          core::kOk);
                const bool ivInFront = randomIv && mode != core::kAesEcb;
                ASSERT_EQ(length, row.expected + (ivInFront ? 16 : 0));
                ciphertext.resize(length);
                uint32_t plainLength = row.padding ? kUnset : length - (ivInFront ? 16 : 0);
                ASSERT_EQ(Decrypt(ciphertext, back, plainLength, randomIv, row.padding, mode),
                          core::kOk);
                if (row.padding) {
                    ASSERT_EQ(plainLength, row.length);
                }
                back.resize(row.length);
                EXPECT_EQ(back, plaintext);
            }
        }
    }
}

TEST_P(AesBuffer, PaddingBlockIsSixteenBytesOf0x10AfterWholeBlocks) {
    const Bytes plaintext(16, 0x42);
    for (uint32_t mode : {core::kAesEcb, core::kAesCbc}) {
        Bytes padded, raw(32, 0x42);
        std::memset(raw.data() + 16, 0x10, 16);
        uint32_t length = 0;
        ASSERT_EQ(Encrypt(plaintext, padded, length, false, true, mode), core::kOk);
        padded.resize(length);
        EXPECT_EQ(padded, RawEncrypt(raw, mode)) << mode;
    }
}

TEST_P(AesBuffer, NoPaddingRefusesPartialBlocksInEveryMode) {
    for (uint32_t mode : kModes) {
        Bytes out;
        uint32_t length = kUnset;
        EXPECT_EQ(Encrypt(Bytes(20), out, length, true, false, mode), core::kAesClearLength);
        EXPECT_EQ(length, kUnset);
        EXPECT_EQ(out[0], 0xEE) << "no IV is drawn before the length check";
    }
}

TEST_P(AesBuffer, RandomIvDiffersPerCallExceptInEcb) {
    const Bytes plaintext(40, 7);
    for (uint32_t mode : kModes) {
        Bytes a, b;
        uint32_t la = 0, lb = 0;
        ASSERT_EQ(Encrypt(plaintext, a, la, true, true, mode), core::kOk);
        ASSERT_EQ(Encrypt(plaintext, b, lb, true, true, mode), core::kOk);
        a.resize(la);
        b.resize(lb);
        if (mode == core::kAesEcb) {
            EXPECT_EQ(la, 48u);
            EXPECT_EQ(a, b);
        } else {
            EXPECT_EQ(la, 64u);
            EXPECT_NE(Bytes(a.begin(), a.begin() + 16), Bytes(b.begin(), b.begin() + 16));
            EXPECT_NE(a, b);
        }
    }
}

// The final block's last byte decides what is removed; only that byte is read.
TEST_P(AesBuffer, UnpaddingReadsOnlyTheLastByte) {
    struct Row {
        uint8_t last;
        int32_t code;
        uint32_t length;
    };
    const Row rows[] = {{0x01, core::kOk, 31},
                        {0x10, core::kOk, 16},
                        {0x11, core::kAesBadPadding, kUnset},
                        {0x00, core::kOk, 32},
                        {0xFF, core::kAesBadPadding, kUnset},
                        {0x05, core::kOk, 27}};
    for (uint32_t mode : kModes) {
        for (const Row& row : rows) {
            Bytes plaintext(32, 0x33);
            plaintext[31] = row.last;
            Bytes out;
            uint32_t length = kUnset;
            EXPECT_EQ(Decrypt(RawEncrypt(plaintext, mode), out, length, false, true, mode),
                      row.code)
                << "mode " << mode << " last " << int(row.last);
            EXPECT_EQ(length, row.length);
            if (row.code == core::kOk) {
                EXPECT_EQ(Bytes(out.begin(), out.begin() + length),
                          Bytes(plaintext.begin(), plaintext.begin() + length));
            }
        }
    }
}

TEST_P(AesBuffer, IvAloneInInputWritesNothing) {
    for (uint32_t mode : {core::kAesCbc, core::kAesOfb, core::kAesCtr}) {
        for (uint32_t size : {0u, 16u}) {
            Bytes out;
            uint32_t length = kUnset;
            EXPECT_EQ(Decrypt(Bytes(size, 9), out, length, true, true, mode), core::kOk);
            EXPECT_EQ(length, kUnset);
            EXPECT_EQ(out[0], 0xEE);
        }
    }
}

TEST_P(AesBuffer, ShortCtrBlockIsDecryptedWhole) {
    Bytes plaintext(32);
    for (int i = 0; i < 32; ++i) plaintext[i] = static_cast<uint8_t>(3 * i);
    const Bytes ciphertext = RawEncrypt(plaintext, core::kAesCtr);
    Bytes out;
    uint32_t length = kUnset;
    ASSERT_EQ(Decrypt(Bytes(ciphertext.begin(), ciphertext.begin() + 20), out, length, false, false,
                      core::kAesCtr),
              core::kOk);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 20),
              Bytes(plaintext.begin(), plaintext.begin() + 20));
    EXPECT_NE(out[31], 0xEE) << "two whole blocks are written";
    EXPECT_EQ(out[32], 0xEE) << "and nothing beyond them";
    EXPECT_EQ(length, kUnset);
}

// A short final CTR block with padding must be read within the input.
TEST_P(AesBuffer, ShortCtrBlockWithPaddingStaysInBounds) {
    for (uint32_t size : {20u, 36u, 5u}) {
        Bytes ciphertext(size, 0x5C);
        Bytes out(((size + 15) / 16) * 16);
        uint32_t length = kUnset;
        const int32_t code = core::aes::DecryptBuffer(impl(), ciphertext.data(), size, out.data(),
                                                      &length, key_, 256, 0, iv_, 1, core::kAesCtr);
        EXPECT_TRUE(code == core::kOk || code == core::kAesBadPadding) << code;
        if (code == core::kOk && size >= 16) {
            EXPECT_LE(length, out.size());
        }
        if (size < 16) {
            EXPECT_EQ(length, kUnset);
        }
    }
}

// Several faults at once: the first check in order wins.
TEST_P(AesBuffer, EncryptChecksInOrder) {
    struct Row {
        const char* what;
        uint32_t length;
        bool nullInput, nullIv, randomIv, padding;
        int32_t bits;
        uint32_t mode;
        int32_t code;
    };
    const Row rows[] = {
        {"length before null", 20, true, false, false, false, 256, 1, core::kAesClearLength},
        {"null before key size", 16, true, false, false, true, 512, 1, core::kAesNullPointer},
        {"null IV read in CBC", 16, false, true, false, true, 256, 1, core::kAesNullPointer},
        {"null IV ignored in ECB", 16, false, true, false, true, 256, 0, core::kOk},
        {"null IV ignored with random IV", 16, false, true, true, true, 256, 1, core::kOk},
        {"key size 512", 16, false, false, false, true, 512, 0, core::kAesKeySize},
        {"key size 0", 16, false, false, false, true, 0, 3, core::kAesKeySize},
        {"key size before mode", 16, false, false, false, true, 100, 9, core::kAesKeySize},
        {"bad mode", 16, false, false, false, true, 128, 4, core::kAesBadMode},
        {"bad mode, empty input", 0, false, false, false, true, 192, 7, core::kAesBadMode},
    };
    for (const Row& row : rows) {
        Bytes plaintext(row.length + 1, 1), out(row.length + 32, 0xEE);
        uint32_t length = kUnset;
        EXPECT_EQ(
            core::aes::EncryptBuffer(impl(), row.nullInput ? nullptr : plaintext.data(), row.length,
                                     out.data(), &length, key_, row.bits, row.randomIv,
                                     row.nullIv ? nullptr : iv_, row.padding, row.mode),
            row.code)
            << row.what;
        if (row.code != core::kOk) {
            EXPECT_EQ(length, kUnset) << row.what;
        }
    }
    Bytes out(32);
    uint32_t length = kUnset;
    EXPECT_EQ(
        core::aes::EncryptBuffer(impl(), out.data(), 0, nullptr, &length, key_, 128, 0, iv_, 1, 1),
        core::kAesNullPointer);
    EXPECT_EQ(core::aes::EncryptBuffer(impl(), out.data(), 0, out.data(), nullptr, key_, 128, 0,
                                       iv_, 1, 1),
              core::kAesNullPointer);
    EXPECT_EQ(core::aes::EncryptBuffer(impl(), out.data(), 0, out.data() + 16, &length, nullptr,
                                       128, 0, iv_, 1, 1),
              core::kAesNullPointer);
}

TEST_P(AesBuffer, RandomIvIsWrittenBeforeTheKeySizeCheck) {
    Bytes out(48, 0xEE);
    uint32_t length = kUnset;
    const Bytes plaintext(16, 1);
    EXPECT_EQ(core::aes::EncryptBuffer(impl(), plaintext.data(), 16, out.data(), &length, key_, 512,
                                       1, nullptr, 1, core::kAesCbc),
              core::kAesKeySize);
    EXPECT_NE(Bytes(out.begin(), out.begin() + 16), Bytes(16, 0xEE));
    EXPECT_EQ(Bytes(out.begin() + 16, out.end()), Bytes(32, 0xEE));
}

TEST_P(AesBuffer, DecryptChecksInOrder) {
    struct Row {
        const char* what;
        uint32_t length;
        bool nullInput, nullIv, ivInInput, padding;
        int32_t bits;
        uint32_t mode;
        int32_t code;
    };
    const Row rows[] = {
        {"length before null", 20, true, false, false, true, 256, 1, core::kAesCipherLength},
        {"bad mode is not CTR", 20, false, false, false, true, 256, 9, core::kAesCipherLength},
        {"CTR takes any length", 20, true, false, false, true, 256, 3, core::kAesNullPointer},
        {"short IV in CTR", 5, false, false, true, true, 512, 3, core::kAesShortIvInput},
        {"short IV outside CTR", 5, false, false, true, true, 256, 1, core::kAesCipherLength},
        {"null IV read", 32, false, true, false, true, 256, 2, core::kAesNullPointer},
        {"null IV unused", 32, false, true, true, false, 256, 2, core::kOk},
        {"key size", 32, false, false, false, true, 512, 1, core::kAesKeySize},
        {"key size before empty", 16, false, false, true, true, 0, 1, core::kAesKeySize},
        {"empty data before mode", 16, false, false, true, true, 256, 8, core::kOk},
        {"empty input before mode", 0, false, false, false, true, 256, 8, core::kOk},
        {"bad mode", 32, false, false, false, false, 256, 8, core::kAesBadMode},
    };
    for (const Row& row : rows) {
        Bytes ciphertext(row.length + 1, 0), out(row.length + 16, 0xEE);
        uint32_t length = kUnset;
        EXPECT_EQ(
            core::aes::DecryptBuffer(impl(), row.nullInput ? nullptr : ciphertext.data(),
                                     row.length, out.data(), &length, key_, row.bits, row.ivInInput,
                                     row.nullIv ? nullptr : iv_, row.padding, row.mode),
            row.code)
            << row.what;
    }
    Bytes buffer(32);
    EXPECT_EQ(core::aes::DecryptBuffer(impl(), buffer.data(), 16, buffer.data() + 16, nullptr, key_,
                                       128, 0, iv_, 1, 1),
              core::kAesNullPointer)
        << "padding needs somewhere to put the length";
    EXPECT_EQ(core::aes::DecryptBuffer(impl(), buffer.data(), 16, buffer.data() + 16, nullptr, key_,
                                       128, 0, iv_, 0, 1),
              core::kOk)
        << "without padding the length is never written";
}

// A CTR length so close to 2^32 that its whole blocks would not fit a 32-bit
// count is refused like a ragged length in the other modes, before anything is
// read: such lengths come from callers that got their arithmetic wrong.
TEST_P(AesBuffer, CtrLengthBeyondTheLastWholeBlockIsRefused) {
    uint8_t tiny[1] = {};
    for (const uint32_t length : {0xFFFFFFFFu, 0xFFFFFFF1u})
        for (const uint8_t ivInInput : {0, 1})
            for (const uint8_t padding : {0, 1}) {
                uint32_t written = kUnset;
                EXPECT_EQ(core::aes::DecryptBuffer(impl(), tiny, length, tiny, &written, key_, 256,
                                                   ivInInput, iv_, padding, core::kAesCtr),
                          core::kAesCipherLength)
                    << length;
                EXPECT_EQ(written, kUnset);
            }
}

TEST_P(AesBuffer, StepsRefuseBadArgumentsWithoutWriting) {
    uint32_t schedule[core::kAesScheduleWords] = {};
    uint8_t in[16] = {}, out[16], state[16] = {};
    struct Row {
        uint32_t mode;
        int32_t nk;
        bool nullState;
        int32_t code;
    };
    const Row rows[] = {
        {4, 5, false, core::kAesBadMode},    {0xFFFFFFFF, 8, false, core::kAesBadMode},
        {1, 4, true, core::kAesNullPointer}, {0, 4, true, core::kOk},
        {2, 5, false, core::kAesKeySize},    {3, 0, false, core::kAesKeySize}};
    for (const Row& row : rows) {
        for (bool decrypt : {false, true}) {
            std::memset(out, 0xEE, 16);
            auto run = decrypt ? core::aes::DecryptBlocks : core::aes::EncryptBlocks;
            EXPECT_EQ(run(impl(), row.mode, in, out, 1, schedule, row.nk,
                          row.nullState ? nullptr : state),
                      row.code);
            if (row.code != core::kOk) {
                EXPECT_EQ(out[0], 0xEE);
            }
        }
    }
}

// Counter blocks that carry across bytes, across the two 64-bit halves and
// around the top, compared with a block-by-block reference built from ECB.
TEST_P(AesBuffer, CounterCarries) {
    struct Row {
        const char* start;
        const char* afterOne;
    };
    const Row rows[] = {
        {"000000000000000000000000000000ff", "00000000000000000000000000000100"},
        {"0000000000000000fffffffffffffffb", "0000000000000000fffffffffffffffc"},
        {"00000000000000ffffffffffffffffff", "00000000000001000000000000000000"},
        {"ffffffffffffffffffffffffffffffff", "00000000000000000000000000000000"},
        {"fffffffffffffffffffffffffffffffa", "fffffffffffffffffffffffffffffffb"},
    };
    uint32_t schedule[core::kAesScheduleWords] = {};
    ASSERT_EQ(core::AesKeyExpansion(key_, schedule, 8), core::kOk);
    for (const Row& row : rows) {
        Bytes state = FromHex(row.start);
        uint8_t zero[16] = {}, out[16];
        ASSERT_EQ(core::aes::EncryptBlocks(impl(), core::kAesCtr, zero, out, 1, schedule, 8,
                                           state.data()),
                  core::kOk);
        EXPECT_EQ(ToHex(state), row.afterOne);

        // 19 blocks: two full batches of eight and a tail, wrapping inside a batch.
        const size_t blocks = 19;
        Bytes counters(16 * blocks), expected(16 * blocks), input(16 * blocks), actual(16 * blocks);
        Bytes counter = FromHex(row.start);
        for (size_t k = 0; k < blocks; ++k) {
            std::memcpy(counters.data() + 16 * k, counter.data(), 16);
            core::aes::IncrementCounter(counter.data());
        }
        for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7);
        ASSERT_EQ(core::aes::EncryptBlocks(impl(), core::kAesEcb, counters.data(), expected.data(),
                                           blocks, schedule, 8, nullptr),
                  core::kOk);
        for (size_t i = 0; i < input.size(); ++i) expected[i] ^= input[i];
        state = FromHex(row.start);
        ASSERT_EQ(core::aes::EncryptBlocks(impl(), core::kAesCtr, input.data(), actual.data(),
                                           blocks, schedule, 8, state.data()),
                  core::kOk);
        EXPECT_EQ(ToHex(actual), ToHex(expected)) << row.start;
        EXPECT_EQ(state, counter);
    }
}

// A stream cut into chunks anywhere, in place or not, equals one call.
TEST_P(AesBuffer, ChunkedAndInPlaceEqualOneShot) {
    std::mt19937 random(12345);
    const size_t blocks = 77;
    Bytes data(16 * blocks);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    uint32_t schedule[core::kAesScheduleWords] = {};
    ASSERT_EQ(core::AesKeyExpansion(key_, schedule, 6), core::kOk);
    const size_t splits[][2] = {{0, 77}, {1, 76}, {7, 8}, {8, 9}, {9, 40}, {16, 17}, {50, 76}};
    for (uint32_t mode : kModes) {
        for (bool decrypt : {false, true}) {
            auto run = decrypt ? core::aes::DecryptBlocks : core::aes::EncryptBlocks;
            Bytes state(iv_, iv_ + 16), whole(data.size());
            ASSERT_EQ(
                run(impl(), mode, data.data(), whole.data(), blocks, schedule, 6, state.data()),
                core::kOk);
            const Bytes wholeState = state;
            for (const auto& split : splits) {
                SCOPED_TRACE(testing::Message() << "mode " << mode << " decrypt " << decrypt
                                                << " cuts " << split[0] << "," << split[1]);
                Bytes chunked = data;  // in place
                state.assign(iv_, iv_ + 16);
                size_t from = 0;
                for (size_t to : {split[0], split[1], blocks}) {
                    ASSERT_EQ(run(impl(), mode, chunked.data() + 16 * from,
                                  chunked.data() + 16 * from, to - from, schedule, 6, state.data()),
                              core::kOk);
                    from = to;
                }
                EXPECT_EQ(chunked, whole);
                EXPECT_EQ(state, wholeState);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, AesBuffer, testing::ValuesIn(aes_test::Implementations()),
                         [](const auto& info) {
                             return std::string(info.param == &core::aes::Portable() ? "portable"
                                                                                     : "hardware");
                         });

TEST(AesPadBlock, FillsFromNToTheEnd) {
    for (uint32_t n : {0u, 1u, 15u, 16u, 17u, 1000u}) {
        uint8_t block[16];
        std::memset(block, 0xEE, 16);
        EXPECT_EQ(core::AesPadBlock(block, n), core::kOk);
        for (uint32_t i = 0; i < 16; ++i) {
            EXPECT_EQ(block[i], i < n ? 0xEE : 16 - n) << "n " << n << " byte " << i;
        }
    }
    EXPECT_EQ(core::AesPadBlock(nullptr, 3), core::kAesNullPointer);
}

TEST(AesBufferPublic, RoundTripsOnTheChosenPath) {
    const Bytes key(24, 0x24), iv(16, 0x61), plaintext(100, 0x70);
    Bytes ciphertext(132), back(116);
    uint32_t length = 0, plainLength = 0;
    ASSERT_EQ(core::AesEncryptBuffer(plaintext.data(), 100, ciphertext.data(), &length, key.data(),
                                     192, 1, iv.data(), 1, core::kAesCbc),
              core::kOk);
    ASSERT_EQ(length, 128u);
    ASSERT_EQ(core::AesDecryptBuffer(ciphertext.data(), length, back.data(), &plainLength,
                                     key.data(), 192, 1, iv.data(), 1, core::kAesCbc),
              core::kOk);
    ASSERT_EQ(plainLength, 100u);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 100), plaintext);
}

}  // namespace
