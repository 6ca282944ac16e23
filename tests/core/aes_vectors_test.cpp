// Known-answer tests from public standards, run on every implementation.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "tests/core/aes_test_support.h"

namespace {

using aes_test::Bytes;
using aes_test::FromHex;
using aes_test::ToHex;
using core::aes::Impl;

std::string ImplName(const Impl* impl) {
    std::string name = impl->name;
    for (char& c : name) {
        if (c == '-') c = '_';
    }
    return name;
}

Bytes Expand(const Bytes& key, uint32_t (&schedule)[core::kAesScheduleWords]) {
    std::memset(schedule, 0, sizeof schedule);
    EXPECT_EQ(core::AesKeyExpansion(key.data(), schedule, static_cast<int32_t>(key.size() / 4)),
              core::kOk);
    return Bytes(reinterpret_cast<uint8_t*>(schedule),
                 reinterpret_cast<uint8_t*>(schedule) + sizeof schedule);
}

// FIPS 197 appendix A: the last word of each key schedule, read as bytes.
struct ScheduleCase {
    const char* key;
    const char* lastWord;
};

const ScheduleCase kSchedules[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c", "b6630ca6"},
    {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b", "01002202"},
    {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4", "706c631e"},
};

TEST(AesKeyExpansion, LastWordOfFips197AppendixA) {
    for (const ScheduleCase& c : kSchedules) {
        const Bytes key = FromHex(c.key);
        uint32_t schedule[core::kAesScheduleWords];
        const Bytes bytes = Expand(key, schedule);
        const size_t words = key.size() + 28;
        EXPECT_EQ(ToHex(Bytes(bytes.begin() + 4 * (words - 1), bytes.begin() + 4 * words)),
                  c.lastWord)
            << c.key;
        EXPECT_TRUE(std::equal(key.begin(), key.end(), bytes.begin())) << "first words are the key";
        for (size_t i = 4 * words; i < bytes.size(); ++i) {
            ASSERT_EQ(bytes[i], 0) << "words past the schedule stay untouched";
        }
    }
}

TEST(AesKeyExpansion, RefusesOtherKeyLengthsWithoutWriting) {
    uint8_t key[32] = {};
    uint32_t schedule[core::kAesScheduleWords];
    for (int32_t nk : {0, 5, 7, 9, -4, 60}) {
        std::memset(schedule, 0xA5, sizeof schedule);
        EXPECT_EQ(core::AesKeyExpansion(key, schedule, nk), core::kAesKeySize) << nk;
        EXPECT_EQ(schedule[0], 0xA5A5A5A5u);
    }
}

// FIPS 197 appendix C.
struct BlockCase {
    const char* key;
    const char* ciphertext;
};

const char kFipsPlaintext[] = "00112233445566778899aabbccddeeff";
const BlockCase kFipsBlocks[] = {
    {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
     "8ea2b7ca516745bfeafc49904b496089"},
};

class AesFipsBlock : public testing::TestWithParam<std::tuple<const Impl*, BlockCase>> {};

TEST_P(AesFipsBlock, EncryptsAndDecryptsInAndOutOfPlace) {
    const auto& [impl, c] = GetParam();
    const Bytes key = FromHex(c.key);
    const int32_t nk = static_cast<int32_t>(key.size() / 4);
    uint32_t schedule[core::kAesScheduleWords];
    Expand(key, schedule);
    Bytes block = FromHex(kFipsPlaintext), out(16);
    ASSERT_EQ(core::aes::EncryptBlocks(*impl, core::kAesEcb, block.data(), out.data(), 1, schedule,
                                       nk, nullptr),
              core::kOk);
    EXPECT_EQ(ToHex(out), c.ciphertext);
    ASSERT_EQ(core::aes::DecryptBlocks(*impl, core::kAesEcb, out.data(), out.data(), 1, schedule,
                                       nk, nullptr),
              core::kOk);
    EXPECT_EQ(ToHex(out), kFipsPlaintext);
}

INSTANTIATE_TEST_SUITE_P(AllKeys, AesFipsBlock,
                         testing::Combine(testing::ValuesIn(aes_test::Implementations()),
                                          testing::ValuesIn(kFipsBlocks)),
                         [](const auto& info) {
                             return ImplName(std::get<0>(info.param)) + "_" +
                                    std::to_string(std::strlen(std::get<1>(info.param).key) * 4);
                         });

TEST(AesBlock, PublicFunctionsMatchFips197) {
    for (const BlockCase& c : kFipsBlocks) {
        const Bytes key = FromHex(c.key);
        const int32_t nk = static_cast<int32_t>(key.size() / 4);
        uint32_t schedule[core::kAesScheduleWords];
        Expand(key, schedule);
        Bytes block = FromHex(kFipsPlaintext);
        ASSERT_EQ(core::AesEncryptBlock(block.data(), block.data(), schedule, nk), core::kOk);
        EXPECT_EQ(ToHex(block), c.ciphertext);
        ASSERT_EQ(core::AesDecryptBlock(block.data(), block.data(), schedule, nk), core::kOk);
        EXPECT_EQ(ToHex(block), kFipsPlaintext);
    }
}

// NIST SP 800-38A appendix F: the same four plaintext blocks in every mode.
const char kSpPlaintext[] =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const char kKey128[] = "2b7e151628aed2a6abf7158809cf4f3c";
const char kKey192[] = "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b";
const char kKey256[] = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char kIv[] = "000102030405060708090a0b0c0d0e0f";
const char kCounter[] = "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff";

struct ModeCase {
    const char* name;
    uint32_t mode;
    const char* key;
    const char* iv;
    const char* ciphertext;
};

const ModeCase kModes[] = {
    {"F1_1_ECB128", core::kAesEcb, kKey128, kIv,
     "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
     "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
    {"F1_3_ECB192", core::kAesEcb, kKey192, kIv,
     "bd334f1d6e45f25ff712a214571fa5cc974104846d0ad3ad7734ecb3ecee4eef"
     "ef7afd2270e2e60adce0ba2face6444e9a4b41ba738d6c72fb16691603c18e0e"},
    {"F1_5_ECB256", core::kAesEcb, kKey256, kIv,
     "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
     "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7"},
    {"F2_1_CBC128", core::kAesCbc, kKey128, kIv,
     "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
     "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
    {"F2_3_CBC192", core::kAesCbc, kKey192, kIv,
     "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
     "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
    {"F2_5_CBC256", core::kAesCbc, kKey256, kIv,
     "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
     "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
    {"F4_1_OFB128", core::kAesOfb, kKey128, kIv,
     "3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed825"
     "9740051e9c5fecf64344f7a82260edcc304c6528f659c77866a510d9c1d6ae5e"},
    {"F4_3_OFB192", core::kAesOfb, kKey192, kIv,
     "cdc80d6fddf18cab34c25909c99a4174fcc28b8d4c63837c09e81700c1100401"
     "8d9a9aeac0f6596f559c6d4daf59a5f26d9f200857ca6c3e9cac524bd9acc92a"},
    {"F4_5_OFB256", core::kAesOfb, kKey256, kIv,
     "dc7e84bfda79164b7ecd8486985d38604febdc6740d20b3ac88f6ad82a4fb08d"
     "71ab47a086e86eedf39d1c5bba97c4080126141d67f37be8538f5a8be740e484"},
    {"F5_1_CTR128", core::kAesCtr, kKey128, kCounter,
     "874d6191b620e3261bef6864990db6ce9806f66b7970fdff8617187bb9fffdff"
     "5ae4df3edbd5d35e5b4f09020db03eab1e031dda2fbe03d1792170a0f3009cee"},
    {"F5_3_CTR192", core::kAesCtr, kKey192, kCounter,
     "1abc932417521ca24f2b0459fe7e6e0b090339ec0aa6faefd5ccc2c6f4ce8e94"
     "1e36b26bd1ebc670d1bd1d665620abf74f78a7f6d29809585a97daec58c6b050"},
    {"F5_5_CTR256", core::kAesCtr, kKey256, kCounter,
     "601ec313775789a5b7a7f504bbf3d228f443e3ca4d62b59aca84e990cacaf5c5"
     "2b0930daa23de94ce87017ba2d84988ddfc9c58db67aada613c2dd08457941a6"},
};

// The chaining state after the four blocks: the IV untouched (ECB), the last
// ciphertext block (CBC), the last keystream block (OFB), the counter plus 4 (CTR).
std::string FinalState(const ModeCase& c) {
    const Bytes plaintext = FromHex(kSpPlaintext), ciphertext = FromHex(c.ciphertext);
    switch (c.mode) {
        case core::kAesCbc:
            return ToHex(Bytes(ciphertext.end() - 16, ciphertext.end()));
        case core::kAesOfb: {
            Bytes stream(16);
            for (int i = 0; i < 16; ++i) stream[i] = plaintext[48 + i] ^ ciphertext[48 + i];
            return ToHex(stream);
        }
        case core::kAesCtr:
            return "f0f1f2f3f4f5f6f7f8f9fafbfcfdff03";
        default:
            return c.iv;
    }
}

class AesSp80038a : public testing::TestWithParam<std::tuple<const Impl*, ModeCase>> {
protected:
    void SetUp() override {
        const ModeCase& c = std::get<1>(GetParam());
        const Bytes key = FromHex(c.key);
        nk_ = static_cast<int32_t>(key.size() / 4);
        Expand(key, schedule_);
    }

    // Runs the four blocks either one call per block or in one call.
    Bytes Run(bool decrypt, bool perBlock, const Bytes& input, Bytes& state) {
        const Impl& impl = *std::get<0>(GetParam());
        const uint32_t mode = std::get<1>(GetParam()).mode;
        auto run = decrypt ? core::aes::DecryptBlocks : core::aes::EncryptBlocks;
        Bytes out(input.size());
        const size_t step = perBlock ? 1 : input.size() / 16;
        for (size_t k = 0; k < input.size() / 16; k += step) {
            EXPECT_EQ(run(impl, mode, input.data() + 16 * k, out.data() + 16 * k, step, schedule_,
                          nk_, state.data()),
                      core::kOk);
        }
        return out;
    }

    uint32_t schedule_[core::kAesScheduleWords];
    int32_t nk_ = 0;
};

TEST_P(AesSp80038a, EncryptAndDecryptBlockByBlockAndInOneCall) {
    const ModeCase& c = std::get<1>(GetParam());
    const Bytes plaintext = FromHex(kSpPlaintext);
    const Bytes ciphertext = FromHex(c.ciphertext);
    for (bool perBlock : {true, false}) {
        SCOPED_TRACE(perBlock ? "one block per call" : "four blocks in one call");
        Bytes state = FromHex(c.iv);
        EXPECT_EQ(ToHex(Run(false, perBlock, plaintext, state)), c.ciphertext);
        EXPECT_EQ(ToHex(state), FinalState(c));
        state = FromHex(c.iv);
        EXPECT_EQ(ToHex(Run(true, perBlock, ciphertext, state)), kSpPlaintext);
        EXPECT_EQ(ToHex(state), FinalState(c));
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, AesSp80038a,
                         testing::Combine(testing::ValuesIn(aes_test::Implementations()),
                                          testing::ValuesIn(kModes)),
                         [](const auto& info) {
                             return ImplName(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).name;
                         });

TEST(AesStep, PublicStepsMatchSp80038a) {
    const Bytes plaintext = FromHex(kSpPlaintext);
    for (const ModeCase& c : kModes) {
        const Bytes key = FromHex(c.key);
        const int32_t nk = static_cast<int32_t>(key.size() / 4);
        uint32_t schedule[core::kAesScheduleWords];
        Expand(key, schedule);
        Bytes state = FromHex(c.iv), out(64);
        for (size_t k = 0; k < 4; ++k) {
            ASSERT_EQ(core::AesEncryptStep(c.mode, plaintext.data() + 16 * k, out.data() + 16 * k,
                                           schedule, nk, state.data()),
                      core::kOk);
        }
        EXPECT_EQ(ToHex(out), c.ciphertext) << c.name;
        state = FromHex(c.iv);
        ASSERT_EQ(
            core::AesDecryptBlocks(c.mode, out.data(), out.data(), 4, schedule, nk, state.data()),
            core::kOk);
        EXPECT_EQ(ToHex(out), kSpPlaintext) << c.name;
    }
}

}  // namespace
