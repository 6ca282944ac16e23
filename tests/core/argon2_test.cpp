#include "crypto/core/argon2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

const uint8_t kSalt[16] = {'0', '1', '2', '3', '4', '5', '6', '7',
                           '8', '9', ':', ';', '<', '=', '>', '?'};
const char kPassword[] = "password";

struct Case {
    const char* name;
    uint32_t t;
    uint32_t m;
    const char* password;
    uint32_t tagLength;
    const char* hex;
};

// Tags from the reference libargon2 (argon2_ctx, Argon2_d, one lane, version
// 0x13, no secret or associated data) for password "password" and the salt
// above. tests/oracle checks the same library on random inputs.
const Case kCases[] = {
    {"PackageProfile", 10, 16, kPassword, 32,
     "9804b72b0ff6a1d2991c8e4590a4240ab66f746fbecb22aa16e63c3dcac7dd19"},
    // m = 8..11 all use 8 blocks; the requested m enters the hash.
    {"Memory8", 10, 8, kPassword, 32,
     "16a49b30ae187bd96b03dff6e949039baa98419beb135db617855df4ceceb85f"},
    {"Memory9", 10, 9, kPassword, 32,
     "db8ce8e47fc2f45a71bb5378ae834d686eb673bc5f20014a3d0ccee9c2a45e4f"},
    {"Memory10", 10, 10, kPassword, 32,
     "6c4b87f9602ed26a1290d354009b2c12018e07c8d56973072148ed6a714ed5fa"},
    {"Memory11", 10, 11, kPassword, 32,
     "4cdd1a776be5d8398b60715a5f3a70168e92f65cc6f28d93122667d8ce328fa7"},
    {"Memory37Passes3", 3, 37, kPassword, 32,
     "57c070303de837875ff9ae4002188e65bc6a88625adaac6666d70f5a76cddb4e"},
    {"OnePass", 1, 16, kPassword, 32,
     "64dcc6fe4e3d5a4ce193c99c299fc8b8919f760c2f34f58988a32aef526ffeb0"},
    {"Tag4", 10, 16, kPassword, 4, "fb0820f9"},
    {"Tag64", 10, 16, kPassword, 64,
     "26e0a08150f117b5b87b7309024656d9654551f1de0502cc10f4a9f2039d130ea22b9886259c0e3ab0c0cb122d"
     "844a7a2ae87383c7e4f9ced5a61e703f6f161d"},
    {"Tag65", 10, 16, kPassword, 65,
     "74e23f6b3bf7a80fb6c12d796e523b8e43df9d840969c364bdf65c08f824472a123240f338333b03d63f9b5a78"
     "5a37f6486d47d6eefb4c80cbc5d6264f9382f3d5"},
    {"Tag200", 10, 16, kPassword, 200,
     "0e569040e20f141123f9e263b479eea1050d4128c07fc9400f8f81cf46cfe10cbd6145c609b5dfb34917f37cc6"
     "e534f5be1bb32584e8a8bbb64fe8cdc6789b7a2682845f9d49d6349aa1300fbb6e53a46f4e2a3fff546aceffb7"
     "a802e75ad22c0585f9be6d684745e04805f60a3cb743aaacd220f6f620bd452c9c163b50302c9a7792500adb80"
     "1f401e93ea7f6a5019f1090ec1f76bdd8bf2b4ccdaed562703d052ac07e1ab4fa627bb47a4f271d2e238925028"
     "ed14d67302b22a2e6e543eb10fd56856f06fb84b"},
    {"EmptyPassword", 10, 16, "", 32,
     "40fd679855a67d6d98bcd0203ba10f81cfe055047f4124e1e15e5ed3b87f8d7f"},
};

class Argon2dVectors : public ::testing::TestWithParam<Case> {};

TEST_P(Argon2dVectors, MatchTheReferenceImplementation) {
    const Case& c = GetParam();
    std::vector<uint8_t> out(c.tagLength + 8, 0x5A);
    ASSERT_EQ(core::Argon2dDerive(c.t, c.m, reinterpret_cast<const uint8_t*>(c.password),
                                  static_cast<uint32_t>(std::strlen(c.password)), kSalt, out.data(),
                                  c.tagLength),
              core::kOk);
    EXPECT_EQ(Hex(out.data(), c.tagLength), c.hex);
    for (size_t i = c.tagLength; i < out.size(); ++i) EXPECT_EQ(out[i], 0x5A) << "past the tag";
}

INSTANTIATE_TEST_SUITE_P(Reference, Argon2dVectors, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Argon2d, EmptyPasswordNeedsNoPointerAndNullOutputWritesNothing) {
    uint8_t out[32];
    ASSERT_EQ(core::Argon2dDerive(10, 16, nullptr, 0, kSalt, out, 32), core::kOk);
    EXPECT_EQ(Hex(out, 32), kCases[11].hex);
    EXPECT_EQ(core::Argon2dDerive(10, 16, nullptr, 0, kSalt, nullptr, 32), core::kOk);
}

struct ErrorCase {
    const char* name;
    uint32_t t;
    uint32_t m;
    const uint8_t* password;
    uint32_t passwordLength;
    const uint8_t* salt;
    uint32_t tagLength;
    int32_t expected;
};

const uint8_t* const kPw = reinterpret_cast<const uint8_t*>(kPassword);

// Each row breaks everything that is checked after the failure it expects, so
// the order of the checks shows.
const ErrorCase kErrors[] = {
    {"TagTooShortFirst", 0, 0, nullptr, 5, nullptr, 3, core::kArgon2OutputTooShort},
    {"TagZero", 10, 16, kPw, 8, kSalt, 0, core::kArgon2OutputTooShort},
    {"NullPasswordBeforeMemory", 0, 7, nullptr, 1, kSalt, 32, core::kArgon2NullPointer},
    {"NullSalt", 0, 7, kPw, 8, nullptr, 32, core::kArgon2NullPointer},
    {"MemoryBeforePasses", 0, 7, kPw, 8, kSalt, 32, core::kArgon2MemoryTooLittle},
    {"MemoryZero", 10, 0, kPw, 8, kSalt, 32, core::kArgon2MemoryTooLittle},
    {"PassesZero", 0, 16, kPw, 8, kSalt, 32, core::kArgon2CounterTooLittle},
};

class Argon2dErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Argon2dErrors, AreRefusedInOrderWithoutWritingTheOutput) {
    const ErrorCase& e = GetParam();
    uint8_t out[64];
    std::memset(out, 0x5A, sizeof out);
    EXPECT_EQ(core::Argon2dDerive(e.t, e.m, e.password, e.passwordLength, e.salt, out, e.tagLength),
              e.expected);
    for (uint8_t b : out) ASSERT_EQ(b, 0x5A);
}

INSTANTIATE_TEST_SUITE_P(Table, Argon2dErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Argon2d, MemoryThatCannotBeAllocatedIsReportedAndNothingIsWritten) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator aborts on a 4 TiB request instead of failing it";
#else
    // m = 2^32 - 1 asks for 4 TiB in one piece.
    uint8_t out[32];
    std::memset(out, 0x5A, sizeof out);
    EXPECT_EQ(core::Argon2dDerive(1, 0xFFFFFFFFu, nullptr, 0, kSalt, out, 32),
              core::kArgon2MallocFails);
    for (uint8_t b : out) ASSERT_EQ(b, 0x5A);
#endif
}

}  // namespace
