// AES against OpenSSL libcrypto on random keys, IVs and lengths, every mode and
// key size, on every implementation: the block calls without padding, and the
// one-shot buffers with PKCS#7 (ECB and CBC, where OpenSSL pads).
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>
#include <random>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "tests/core/aes_test_support.h"
#include "tests/oracle/openssl_aes.h"

namespace {

using aes_test::Bytes;
using core::aes::Impl;

Bytes OpenSsl(bool encrypt, uint32_t mode, int32_t bits, const Bytes& key, const Bytes& iv,
              const Bytes& input, bool padding) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    EXPECT_EQ(EVP_CipherInit_ex(ctx.get(), oracle::Cipher(mode, bits), nullptr, key.data(),
                                iv.data(), encrypt ? 1 : 0),
              1);
    EVP_CIPHER_CTX_set_padding(ctx.get(), padding ? 1 : 0);
    Bytes out(input.size() + 32);
    int n = 0, tail = 0;
    EXPECT_EQ(
        EVP_CipherUpdate(ctx.get(), out.data(), &n, input.data(), static_cast<int>(input.size())),
        1);
    EXPECT_EQ(EVP_CipherFinal_ex(ctx.get(), out.data() + n, &tail), 1);
    out.resize(static_cast<size_t>(n + tail));
    return out;
}

class AesOracle : public testing::TestWithParam<const Impl*> {
protected:
    Bytes RandomBytes(size_t n) {
        Bytes out(n);
        for (uint8_t& b : out) b = static_cast<uint8_t>(random_());
        return out;
    }

    std::mt19937_64 random_{0xAE5};
};

TEST_P(AesOracle, BlocksMatchInEveryModeAndKeySize) {
    const Impl& impl = *GetParam();
    std::uniform_int_distribution<size_t> blocksOf(1, 90);
    for (int round = 0; round < 240; ++round) {
        const uint32_t mode = round % 4;
        const int32_t bits = 128 + 64 * (round / 4 % 3);
        const int32_t nk = bits / 32;
        const size_t blocks = blocksOf(random_);
        const Bytes key = RandomBytes(32), iv = RandomBytes(16), data = RandomBytes(16 * blocks);
        SCOPED_TRACE(testing::Message()
                     << "mode " << mode << " bits " << bits << " blocks " << blocks);
        uint32_t schedule[core::kAesScheduleWords] = {};
        ASSERT_EQ(core::AesKeyExpansion(key.data(), schedule, nk), core::kOk);
        for (bool encrypt : {true, false}) {
            auto run = encrypt ? core::aes::EncryptBlocks : core::aes::DecryptBlocks;
            Bytes ours(data.size()), state = iv;
            ASSERT_EQ(run(impl, mode, data.data(), ours.data(), blocks, schedule, nk, state.data()),
                      core::kOk);
            ASSERT_EQ(ours, OpenSsl(encrypt, mode, bits, key, iv, data, false)) << encrypt;
        }
    }
}

TEST_P(AesOracle, PaddedBuffersMatchBothWays) {
    const Impl& impl = *GetParam();
    std::uniform_int_distribution<uint32_t> lengthOf(0, 300);
    for (int round = 0; round < 120; ++round) {
        const uint32_t mode = round % 2 == 0 ? core::kAesEcb : core::kAesCbc;
        const int32_t bits = 128 + 64 * (round / 2 % 3);
        const uint32_t length = lengthOf(random_);
        const Bytes key = RandomBytes(32), iv = RandomBytes(16);
        Bytes data = RandomBytes(length);
        data.reserve(1);  // never a null pointer, even for an empty input
        SCOPED_TRACE(testing::Message()
                     << "mode " << mode << " bits " << bits << " length " << length);
        Bytes ours(length + 32);
        uint32_t ourLength = 0;
        ASSERT_EQ(core::aes::EncryptBuffer(impl, data.data(), length, ours.data(), &ourLength,
                                           key.data(), bits, 0, iv.data(), 1, mode),
                  core::kOk);
        ours.resize(ourLength);
        const Bytes theirs = OpenSsl(true, mode, bits, key, iv, data, true);
        ASSERT_EQ(ours, theirs);

        Bytes back(theirs.size());
        uint32_t backLength = 0;
        ASSERT_EQ(core::aes::DecryptBuffer(impl, theirs.data(),
                                           static_cast<uint32_t>(theirs.size()), back.data(),
                                           &backLength, key.data(), bits, 0, iv.data(), 1, mode),
                  core::kOk);
        back.resize(backLength);
        ASSERT_EQ(back, data);
    }
}

// A random IV in front: OpenSSL decrypts the rest with that IV.
TEST_P(AesOracle, RandomIvInFrontIsTheIvOfTheRest) {
    const Impl& impl = *GetParam();
    const Bytes key = RandomBytes(32), data = RandomBytes(1000);
    Bytes ours(1048);
    uint32_t length = 0;
    ASSERT_EQ(core::aes::EncryptBuffer(impl, data.data(), 1000, ours.data(), &length, key.data(),
                                       256, 1, nullptr, 1, core::kAesCbc),
              core::kOk);
    ASSERT_EQ(length, 1024u);
    ours.resize(length);
    const Bytes iv(ours.begin(), ours.begin() + 16), rest(ours.begin() + 16, ours.end());
    EXPECT_EQ(OpenSsl(false, core::kAesCbc, 256, key, iv, rest, true), data);
}

INSTANTIATE_TEST_SUITE_P(Paths, AesOracle, testing::ValuesIn(aes_test::Implementations()),
                         [](const auto& info) {
                             return std::string(info.param == &core::aes::Portable() ? "portable"
                                                                                     : "hardware");
                         });

}  // namespace
