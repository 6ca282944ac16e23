#include "crypto/core/blake2b.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

Bytes Range(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
    return b;
}

Bytes Pattern(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

std::string Digest(const Bytes& in, const Bytes& key, uint32_t outLength) {
    uint8_t out[64];
    EXPECT_EQ(core::Blake2bDigest(in.data(), static_cast<uint32_t>(in.size()), key.data(),
                                  static_cast<uint32_t>(key.size()), out, outLength),
              core::kOk);
    return Hex(out, outLength);
}

struct Vector {
    const char* name;
    Bytes in;
    Bytes key;
    uint32_t outLength;
    const char* hex;
};

// "abc" is the example of RFC 7693 appendix A; the others come from Python's
// hashlib.blake2b (keyed, truncated, and a single full block).
const std::vector<Vector>& Vectors() {
    static const std::vector<Vector> v = {
        {"Rfc7693Abc",
         Bytes{'a', 'b', 'c'},
         {},
         64,
         "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d17d87c5392aab792dc252d5de"
         "4533cc9518d38aa8dbf1925ab92386edd4009923"},
        {"Empty",
         {},
         {},
         64,
         "786a02f742015903c6c6fd852552d272912f4740e15847618a86e217f71f5419d25e1031afee585313896444"
         "934eb04b903a685b1448b755d56f701afe9be2ce"},
        {"Key64Abc", Bytes{'a', 'b', 'c'}, Range(64), 64,
         "06bbc3dedf13a31139498655251b7588ccd3bb5aaa071b2d44d8e0a04095579ed590fbfdcf941f4370ce5ce6"
         "23624e7a76d33e7a8109dcda9b57d72f8f8efa51"},
        {"Key1Out20TwoBlocks", Range(256), Bytes{'k'}, 20,
         "bbe9fd551d0f7349ba87fd07473fe7b30dcd4471"},
        {"Key64EmptyInput",
         {},
         Range(64),
         64,
         "10ebb67700b1868efb4417987acf4690ae9d972fb7a590c2f02871799aaa4786b5e996e8f0f4eb981fc214b0"
         "05f42d2ff4233499391653df7aefcbc13fc51568"},
        {"OneFullBlockOut1", Pattern(128), {}, 1, "e2"},
    };
    return v;
}

class Blake2bVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(Blake2bVectors, Digest) {
    const Vector& v = GetParam();
    EXPECT_EQ(Digest(v.in, v.key, v.outLength), v.hex);
}

INSTANTIATE_TEST_SUITE_P(Known, Blake2bVectors, ::testing::ValuesIn(Vectors()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blake2bStream, FeedingInAnyTwoPiecesEqualsOneShot) {
    // 300 bytes: splits on both sides of the first and second block boundary.
    const Bytes m = Pattern(300);
    const std::string expected = Digest(m, {}, 48);
    for (uint32_t split = 0; split <= m.size(); ++split) {
        core::Blake2bState s;
        uint8_t out[48];
        ASSERT_EQ(core::Blake2bInitState(&s, 48), core::kOk);
        ASSERT_EQ(core::Blake2bFeed(&s, m.data(), split), core::kOk);
        ASSERT_EQ(core::Blake2bFeed(&s, m.data() + split, static_cast<uint32_t>(m.size()) - split),
                  core::kOk);
        ASSERT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kOk);
        ASSERT_EQ(Hex(out, 48), expected) << "split at " << split;
    }
}

TEST(Blake2bStream, ByteByByteEqualsOneShotAtBlockMultiples) {
    // Exact multiples of 128 are where the last block must be kept back for Finish.
    for (size_t n : {127u, 128u, 129u, 256u, 384u}) {
        const Bytes m = Pattern(n);
        core::Blake2bState s;
        uint8_t out[64];
        ASSERT_EQ(core::Blake2bInitState(&s, 64), core::kOk);
        for (uint8_t b : m) ASSERT_EQ(core::Blake2bFeed(&s, &b, 1), core::kOk);
        ASSERT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kOk);
        EXPECT_EQ(Hex(out, 64), Digest(m, {}, 64)) << n;
    }
}

TEST(Blake2bStream, FinishedStateIsRefusedUntilInitialisedAgain) {
    core::Blake2bState s;
    uint8_t out[64];
    const uint8_t byte = 1;
    ASSERT_EQ(core::Blake2bInitState(&s, 32), core::kOk);
    ASSERT_EQ(core::Blake2bFeed(&s, &byte, 1), core::kOk);
    ASSERT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kOk);
    EXPECT_EQ(core::Blake2bFeed(&s, nullptr, 0), core::kOk);  // nothing to feed: accepted
    EXPECT_EQ(core::Blake2bFeed(&s, &byte, 1), core::kBlake2bReusedState);
    EXPECT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kBlake2bReusedState);
    ASSERT_EQ(core::Blake2bInitState(&s, 32), core::kOk);
    ASSERT_EQ(core::Blake2bFeed(&s, &byte, 1), core::kOk);
    EXPECT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kOk);
}

TEST(Blake2bStream, FinishWritesTheDigestLengthNotTheCapacity) {
    core::Blake2bState s;
    uint8_t out[64];
    std::memset(out, 0x5A, sizeof out);
    ASSERT_EQ(core::Blake2bInitState(&s, 20), core::kOk);
    ASSERT_EQ(core::Blake2bFinish(&s, out, sizeof out), core::kOk);
    for (size_t i = 20; i < sizeof out; ++i) EXPECT_EQ(out[i], 0x5A) << i;
}

TEST(Blake2bExpand, ShortOutputIsOneBlake2bOfLengthPrefixAndInput) {
    const Bytes in = Pattern(70);
    for (uint32_t t : {1u, 4u, 32u, 64u}) {
        Bytes prefixed = {static_cast<uint8_t>(t), 0, 0, 0};
        prefixed.insert(prefixed.end(), in.begin(), in.end());
        uint8_t out[64];
        ASSERT_EQ(core::Blake2bExpand(out, t, in.data(), static_cast<uint32_t>(in.size())),
                  core::kOk);
        EXPECT_EQ(Hex(out, t), Digest(prefixed, {}, t)) << t;
    }
}

struct ErrorCase {
    const char* name;
    int32_t (*call)();
    int32_t expected;
};

const uint8_t kData[65] = {};
uint8_t gOut[80];
core::Blake2bState gState;

const ErrorCase kErrorCases[] = {
    {"InitNullState", [] { return core::Blake2bInitState(nullptr, 64); },
     core::kBlake2bNullPointer},
    {"InitLength0", [] { return core::Blake2bInitState(&gState, 0); }, core::kBlake2bNullPointer},
    {"InitLength65", [] { return core::Blake2bInitState(&gState, 65); }, core::kBlake2bNullPointer},
    {"FeedNullState", [] { return core::Blake2bFeed(nullptr, kData, 1); },
     core::kBlake2bNullPointer},
    {"FeedNullData",
     [] {
         core::Blake2bInitState(&gState, 64);
         return core::Blake2bFeed(&gState, nullptr, 1);
     },
     core::kBlake2bNullPointer},
    {"FinishNullOutput",
     [] {
         core::Blake2bInitState(&gState, 64);
         return core::Blake2bFinish(&gState, nullptr, 64);
     },
     core::kBlake2bNullPointer},
    {"FinishSmallCapacity",
     [] {
         core::Blake2bInitState(&gState, 64);
         return core::Blake2bFinish(&gState, gOut, 63);
     },
     core::kBlake2bNullPointer},
    {"DigestNullInput", [] { return core::Blake2bDigest(nullptr, 1, nullptr, 0, gOut, 64); },
     core::kBlake2bNullPointer},
    {"DigestNullOutput", [] { return core::Blake2bDigest(kData, 1, nullptr, 0, nullptr, 64); },
     core::kBlake2bNullPointer},
    {"DigestLength0", [] { return core::Blake2bDigest(kData, 1, nullptr, 0, gOut, 0); },
     core::kBlake2bNullPointer},
    {"DigestLength65", [] { return core::Blake2bDigest(kData, 1, nullptr, 0, gOut, 65); },
     core::kBlake2bNullPointer},
    {"DigestNullKey", [] { return core::Blake2bDigest(kData, 1, nullptr, 1, gOut, 64); },
     core::kBlake2bNullPointer},
    {"DigestKey65", [] { return core::Blake2bDigest(kData, 1, kData, 65, gOut, 64); },
     core::kBlake2bNullPointer},
    {"ExpandLength0", [] { return core::Blake2bExpand(gOut, 0, kData, 1); },
     core::kBlake2bNullPointer},
    {"ExpandNullOutput", [] { return core::Blake2bExpand(nullptr, 80, kData, 1); },
     core::kBlake2bNullPointer},
    {"ExpandNullInput", [] { return core::Blake2bExpand(gOut, 80, nullptr, 1); },
     core::kBlake2bNullPointer},
};

class Blake2bErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Blake2bErrors, AreRefusedWithoutWritingTheOutput) {
    std::memset(gOut, 0x5A, sizeof gOut);
    EXPECT_EQ(GetParam().call(), GetParam().expected);
    for (uint8_t b : gOut) ASSERT_EQ(b, 0x5A);
}

INSTANTIATE_TEST_SUITE_P(Table, Blake2bErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blake2bDigest, EmptyInputAndEmptyKeyMayComeWithoutPointers) {
    uint8_t a[64];
    ASSERT_EQ(core::Blake2bDigest(nullptr, 0, nullptr, 0, a, 64), core::kOk);
    EXPECT_EQ(Hex(a, 64), Vectors()[1].hex);
}

}  // namespace
