// SHA-2 and HMAC against OpenSSL libcrypto on random inputs.
#include "crypto/core/sha2.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const EVP_MD* Md(uint32_t bits) {
    return bits == 256 ? EVP_sha256() : bits == 384 ? EVP_sha384() : EVP_sha512();
}

Bytes Random(std::mt19937& rng, size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

// Lengths of every class: tiny, around each block boundary of both block
// sizes, and several blocks long.
size_t RandomLength(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0:
            return rng() % 16;
        case 1:
            return 64 * (1 + rng() % 6) + rng() % 5 - 2;
        case 2:
            return 128 * (1 + rng() % 4) - 17 + rng() % 3;  // 111, 112, 113 past each block
        default:
            return rng() % 5000;
    }
}

Bytes Ours(const Bytes& m, uint32_t bits) {
    Bytes out(bits / 8);
    const uint8_t dummy = 0;
    EXPECT_EQ(core::Sha2Digest(m.empty() ? &dummy : m.data(), static_cast<uint32_t>(m.size()), bits,
                               out.data()),
              core::kOk);
    return out;
}

Bytes Theirs(const Bytes& m, uint32_t bits) {
    Bytes out(EVP_MAX_MD_SIZE);
    unsigned int n = 0;
    EXPECT_EQ(EVP_Digest(m.data(), m.size(), out.data(), &n, Md(bits), nullptr), 1);
    out.resize(n);
    return out;
}

class Sha2Oracle : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { core::Sha256ForcePortable(GetParam()); }
    void TearDown() override { core::Sha256ForcePortable(false); }
};

TEST_P(Sha2Oracle, DigestsMatchOpenSsl) {
    std::mt19937 rng(1180);
    for (int i = 0; i < 400; ++i) {
        const Bytes m = Random(rng, RandomLength(rng));
        for (uint32_t bits : {256u, 384u, 512u}) {
            ASSERT_EQ(Ours(m, bits), Theirs(m, bits)) << bits << " bits, " << m.size() << " bytes";
        }
    }
}

TEST_P(Sha2Oracle, HmacsMatchOpenSslAndVerify) {
    std::mt19937 rng(2104);
    for (int i = 0; i < 400; ++i) {
        const Bytes m = Random(rng, RandomLength(rng));
        const uint32_t bits = (i % 3 == 0) ? 256 : (i % 3 == 1) ? 384 : 512;
        // Keys shorter than, equal to, one past, and far past the block.
        const size_t block = bits == 256 ? 64 : 128;
        const size_t keyLengths[] = {rng() % block, block, block + 1, rng() % 400};
        const Bytes key = Random(rng, keyLengths[rng() % 4]);

        Bytes ours(bits / 8);
        ASSERT_EQ(core::Sha2Hmac(m.data(), static_cast<uint32_t>(m.size()), key.data(),
                                 static_cast<uint32_t>(key.size()), bits, ours.data()),
                  core::kOk);
        Bytes theirs(EVP_MAX_MD_SIZE);
        unsigned int n = 0;
        ASSERT_NE(HMAC(Md(bits), key.data(), static_cast<int>(key.size()), m.data(), m.size(),
                       theirs.data(), &n),
                  nullptr);
        theirs.resize(n);
        ASSERT_EQ(ours, theirs) << bits << " bits, key " << key.size() << ", msg " << m.size();

        EXPECT_EQ(core::Sha2HmacVerify(m.data(), static_cast<uint32_t>(m.size()), key.data(),
                                       static_cast<uint32_t>(key.size()), bits, theirs.data()),
                  core::kOk);
        theirs[rng() % theirs.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        EXPECT_EQ(core::Sha2HmacVerify(m.data(), static_cast<uint32_t>(m.size()), key.data(),
                                       static_cast<uint32_t>(key.size()), bits, theirs.data()),
                  core::kSha2HmacMismatch);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha2Oracle, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Portable" : "Default"; });

TEST(Sha2OracleLong, SixteenMebibytesMatchOpenSsl) {
    std::mt19937 rng(16);
    const Bytes m = Random(rng, (16u << 20) + 3);
    for (uint32_t bits : {256u, 384u, 512u}) EXPECT_EQ(Ours(m, bits), Theirs(m, bits)) << bits;
}

}  // namespace
