// BLAKE2b against OpenSSL libcrypto on random inputs: the BLAKE2B-512 digest,
// and the keyed BLAKE2BMAC for other keys and lengths.
#include "crypto/core/blake2b.h"

#include <gtest/gtest.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Random(std::mt19937& rng, size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

size_t RandomLength(std::mt19937& rng) {
    switch (rng() % 3) {
        case 0:
            return rng() % 16;
        case 1:
            return 128 * (1 + rng() % 4) + rng() % 5 - 2;
        default:
            return rng() % 3000;
    }
}

TEST(Blake2bOracle, Unkeyed512MatchesOpenSslDigest) {
    std::mt19937 rng(7693);
    EVP_MD* md = EVP_MD_fetch(nullptr, "BLAKE2B-512", nullptr);
    ASSERT_NE(md, nullptr);
    for (int i = 0; i < 300; ++i) {
        const Bytes m = Random(rng, RandomLength(rng));
        uint8_t ours[64];
        uint8_t theirs[64];
        unsigned int n = 0;
        ASSERT_EQ(
            core::Blake2bDigest(m.data(), static_cast<uint32_t>(m.size()), nullptr, 0, ours, 64),
            core::kOk);
        ASSERT_EQ(EVP_Digest(m.data(), m.size(), theirs, &n, md, nullptr), 1);
        ASSERT_EQ(Bytes(ours, ours + 64), Bytes(theirs, theirs + n)) << m.size() << " bytes";
    }
    EVP_MD_free(md);
}

TEST(Blake2bOracle, KeyedAnyLengthMatchesOpenSslMac) {
    std::mt19937 rng(1994);
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "BLAKE2BMAC", nullptr);
    ASSERT_NE(mac, nullptr);
    for (int i = 0; i < 300; ++i) {
        const Bytes m = Random(rng, RandomLength(rng));
        const Bytes key = Random(rng, 1 + rng() % 64);
        size_t size = 1 + rng() % 64;
        Bytes ours(size);
        ASSERT_EQ(core::Blake2bDigest(m.data(), static_cast<uint32_t>(m.size()), key.data(),
                                      static_cast<uint32_t>(key.size()), ours.data(),
                                      static_cast<uint32_t>(size)),
                  core::kOk);

        EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
        OSSL_PARAM params[] = {OSSL_PARAM_construct_size_t(OSSL_MAC_PARAM_SIZE, &size),
                               OSSL_PARAM_construct_end()};
        Bytes theirs(64);
        size_t n = 0;
        ASSERT_EQ(EVP_MAC_init(ctx, key.data(), key.size(), params), 1);
        ASSERT_EQ(EVP_MAC_update(ctx, m.data(), m.size()), 1);
        ASSERT_EQ(EVP_MAC_final(ctx, theirs.data(), &n, theirs.size()), 1);
        EVP_MAC_CTX_free(ctx);
        theirs.resize(n);
        ASSERT_EQ(ours, theirs) << "key " << key.size() << ", size " << size << ", msg "
                                << m.size();
    }
    EVP_MAC_free(mac);
}

TEST(Blake2bOracle, RandomFeedSplitsMatchOpenSsl) {
    std::mt19937 rng(128);
    EVP_MD* md = EVP_MD_fetch(nullptr, "BLAKE2B-512", nullptr);
    ASSERT_NE(md, nullptr);
    for (int i = 0; i < 200; ++i) {
        const Bytes m = Random(rng, RandomLength(rng));
        core::Blake2bState s;
        ASSERT_EQ(core::Blake2bInitState(&s, 64), core::kOk);
        size_t off = 0;
        while (off < m.size()) {
            const size_t piece = std::min(m.size() - off, size_t{rng() % 300});
            ASSERT_EQ(core::Blake2bFeed(&s, m.data() + off, static_cast<uint32_t>(piece)),
                      core::kOk);
            off += piece;
        }
        uint8_t ours[64];
        uint8_t theirs[64];
        unsigned int n = 0;
        ASSERT_EQ(core::Blake2bFinish(&s, ours, 64), core::kOk);
        ASSERT_EQ(EVP_Digest(m.data(), m.size(), theirs, &n, md, nullptr), 1);
        ASSERT_EQ(Bytes(ours, ours + 64), Bytes(theirs, theirs + n)) << m.size() << " bytes";
    }
    EVP_MD_free(md);
}

}  // namespace
