// Argon2d against the reference libargon2 (one lane, version 0x13, 16-byte
// salt, no secret or associated data).
#include "crypto/core/argon2.h"

#include <argon2.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Random(std::mt19937& rng, size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

Bytes Reference(uint32_t t, uint32_t m, const Bytes& password, const Bytes& salt, uint32_t T) {
    Bytes out(T);
    argon2_context c;
    std::memset(&c, 0, sizeof c);
    c.out = out.data();
    c.outlen = T;
    c.pwd = const_cast<uint8_t*>(password.data());
    c.pwdlen = static_cast<uint32_t>(password.size());
    c.salt = const_cast<uint8_t*>(salt.data());
    c.saltlen = 16;
    c.t_cost = t;
    c.m_cost = m;
    c.lanes = 1;
    c.threads = 1;
    c.version = ARGON2_VERSION_13;
    EXPECT_EQ(argon2_ctx(&c, Argon2_d), ARGON2_OK);
    return out;
}

Bytes Ours(uint32_t t, uint32_t m, const Bytes& password, const Bytes& salt, uint32_t T) {
    Bytes out(T);
    EXPECT_EQ(core::Argon2dDerive(t, m, password.data(), static_cast<uint32_t>(password.size()),
                                  salt.data(), out.data(), T),
              core::kOk);
    return out;
}

struct Profile {
    const char* name;
    uint32_t t;
    uint32_t m;
    uint32_t tagLength;
    size_t passwordLength;
};

const Profile kProfiles[] = {
    {"Package", 10, 16, 32, 12},      {"Memory8", 10, 8, 32, 12},
    {"Memory9", 10, 9, 32, 12},       {"Memory10", 10, 10, 32, 12},
    {"Memory11", 10, 11, 32, 12},     {"OnePass", 1, 16, 32, 12},
    {"Tag4", 10, 16, 4, 12},          {"Tag64", 10, 16, 64, 12},
    {"Tag65", 10, 16, 65, 12},        {"Tag200", 10, 16, 200, 12},
    {"EmptyPassword", 10, 16, 32, 0}, {"LongPassword", 2, 16, 32, 1000},
    {"Memory1MiB", 2, 1024, 32, 12},
};

class Argon2dOracleProfiles : public ::testing::TestWithParam<Profile> {};

TEST_P(Argon2dOracleProfiles, MatchLibargon2OnRandomPasswordsAndSalts) {
    const Profile& p = GetParam();
    std::mt19937 rng(9106 + p.m + p.t * 100 + p.tagLength * 10000);
    for (int i = 0; i < 8; ++i) {
        const Bytes password = Random(rng, p.passwordLength);
        const Bytes salt = Random(rng, 16);
        ASSERT_EQ(Ours(p.t, p.m, password, salt, p.tagLength),
                  Reference(p.t, p.m, password, salt, p.tagLength));
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, Argon2dOracleProfiles, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Argon2dOracle, RandomParametersMatchLibargon2) {
    std::mt19937 rng(13);
    for (int i = 0; i < 300; ++i) {
        const uint32_t t = static_cast<uint32_t>(1 + rng() % 4);
        const uint32_t m = static_cast<uint32_t>(8 + rng() % 57);
        const uint32_t tagLengths[] = {static_cast<uint32_t>(4 + rng() % 61),
                                       static_cast<uint32_t>(64 + rng() % 3),
                                       static_cast<uint32_t>(4 + rng() % 300)};
        const uint32_t T = tagLengths[rng() % 3];
        const Bytes password = Random(rng, rng() % 130);
        const Bytes salt = Random(rng, 16);
        ASSERT_EQ(Ours(t, m, password, salt, T), Reference(t, m, password, salt, T))
            << "t=" << t << " m=" << m << " T=" << T << " password " << password.size();
    }
}

}  // namespace
