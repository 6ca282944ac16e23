// TArgon2KeyDerivation: property checks, the salt made from StringSalt, the
// password's bytes, and the key in every output format.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "crypto/HashObj.h"
#include "crypto/core/argon2.h"
#include "rtl/Exception.h"

namespace {

using rtl::String;
using Bytes = std::vector<uint8_t>;
using Salt = std::array<uint8_t, 16>;

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rtl::Exception& e) {
        return e.what();
    }
    return "no exception";
}

String Hexa(const Bytes& bytes) {
    TConvert convert(TConvertType::hexa);
    return convert.CharToFormat(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// The key the core derives from explicit bytes.
String CoreKey(uint32_t t, uint32_t m, const Bytes& password, const Salt& salt, uint32_t T) {
    Bytes out(T);
    EXPECT_EQ(core::Argon2dDerive(t, m, password.data(), static_cast<uint32_t>(password.size()),
                                  salt.data(), out.data(), T),
              core::kOk);
    return Hexa(out);
}

// Settings of the package's key: memory 16 KiB, 10 passes, UTF-8, 32 bytes.
// Keys computed with the reference libargon2 (Argon2d, version 0x13, one lane).
struct PackageVector {
    const char16_t* password;
    const char16_t* salt;
    const char16_t* key;
};

const PackageVector kPackageVectors[] = {
    {u"correct horse", u"0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF",
     u"96ABD66693D59926C9628B779F588C9761A494647372A0C0846F6C0B0D4DFC95"},
    {u"", u"", u"0DE8E1C4A379B3C34D195F4A4D9500E09B79049873322F89AF3728675FAE1C80"},
    {u"p\u00E4ssw\u00F6rd", u"5A3C",
     u"329C17652235A51C9539880AF461526D38D593E8099A12CC9ADF91545EE0D959"},
};

class PackageKey : public testing::TestWithParam<PackageVector> {};

TEST_P(PackageKey, LockerAndUnlockerDeriveTheReferenceKey) {
    const PackageVector& v = GetParam();
    TArgon2KeyDerivation locker;
    locker.SetOutputSizeBytes(32);
    locker.SetOutputFormat(TConvertType::raw);
    TConvert form;
    auto* unlocker = new TArgon2KeyDerivation(&form);
    unlocker->SetOutputSizeBytes(32);
    unlocker->SetOutputFormat(TConvertType::raw);
    locker.SetStringSalt(v.salt);
    unlocker->SetStringSalt(v.salt);

    const String key = locker.GenerateKey(v.password);
    ASSERT_EQ(key.size(), 32u);
    TConvert convert(TConvertType::hexa);
    EXPECT_EQ(convert.StringToFormat(key), v.key);  // raw text back to its bytes
    EXPECT_EQ(unlocker->GenerateKey(v.password), key);
    EXPECT_EQ(locker.GenerateKey(v.password), key);  // the salt stays
}

INSTANTIATE_TEST_SUITE_P(Reference, PackageKey, testing::ValuesIn(kPackageVectors));

// --- properties -------------------------------------------------------------

TEST(Construction, DefaultsOwnerAndArguments) {
    TConvert owner;
    auto* owned = new TArgon2KeyDerivation(&owner);
    EXPECT_EQ(owned->Owner(), &owner);
    const TArgon2KeyDerivation plain;
    for (const TArgon2KeyDerivation* c :
         std::initializer_list<const TArgon2KeyDerivation*>{owned, &plain}) {
        EXPECT_EQ(c->outputSizeBytes(), 16);
        EXPECT_EQ(c->counter(), 10);
        EXPECT_EQ(c->memory(), 16);
        EXPECT_EQ(c->outputFormat(), TConvertType::hexa);
        EXPECT_EQ(c->Unicode(), TUnicode::yesUni);
        EXPECT_EQ(c->StringSalt(), u"");
        EXPECT_EQ(c->Version(), u"3.3.0.0");
    }
    const TArgon2KeyDerivation made(4, u"salt", 1, TConvertType::base32, 8, TUnicode::noUni);
    EXPECT_EQ(made.Owner(), nullptr);
    EXPECT_EQ(made.outputSizeBytes(), 4);
    EXPECT_EQ(made.StringSalt(), u"salt");
    EXPECT_EQ(made.counter(), 1);
    EXPECT_EQ(made.outputFormat(), TConvertType::base32);
    EXPECT_EQ(made.memory(), 8);
    EXPECT_EQ(made.Unicode(), TUnicode::noUni);
}

struct Refusal {
    const char* property;
    void (TArgon2KeyDerivation::*set)(int32_t);
    int32_t (TArgon2KeyDerivation::*get)() const;
    int32_t minimum;
    const char* message;
};

const Refusal kRefusals[] = {
    {"outputSizeBytes", &TArgon2KeyDerivation::SetOutputSizeBytes,
     &TArgon2KeyDerivation::outputSizeBytes, 4, "The Argon2 output length must be minimum 4!"},
    {"counter", &TArgon2KeyDerivation::SetCounter, &TArgon2KeyDerivation::counter, 1,
     "The Argon2 counter must be minimum 1!"},
    {"memory", &TArgon2KeyDerivation::SetMemory, &TArgon2KeyDerivation::memory, 8,
     "The Argon2 memory must be minimum 8!"},
};

class Properties : public testing::TestWithParam<Refusal> {};

TEST_P(Properties, BelowTheMinimumRaisesAndKeepsTheOldValue) {
    const Refusal& r = GetParam();
    TArgon2KeyDerivation c;
    (c.*r.set)(1000);
    for (const int32_t bad : {r.minimum - 1, 0, -1, INT32_MIN}) {
        if (bad >= r.minimum) continue;
        EXPECT_EQ(MessageOf([&] { (c.*r.set)(bad); }), r.message) << bad;
        EXPECT_EQ((c.*r.get)(), 1000);
    }
    (c.*r.set)(r.minimum);
    EXPECT_EQ((c.*r.get)(), r.minimum);
    (c.*r.set)(INT32_MAX);  // no upper bound
    EXPECT_EQ((c.*r.get)(), INT32_MAX);
}

INSTANTIATE_TEST_SUITE_P(Minimums, Properties, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.property); });

TEST(Construction, ARefusedArgumentFailsInTheWritingOrder) {
    const auto make = [](int32_t size, int32_t counter, int32_t memory) {
        return MessageOf([&] {
            TArgon2KeyDerivation(size, u"salt", counter, TConvertType::hexa, memory,
                                 TUnicode::yesUni);
        });
    };
    EXPECT_EQ(make(3, 10, 16), "The Argon2 output length must be minimum 4!");
    EXPECT_EQ(make(16, 0, 16), "The Argon2 counter must be minimum 1!");
    EXPECT_EQ(make(16, 10, 7), "The Argon2 memory must be minimum 8!");
    EXPECT_EQ(make(3, 0, 7), "The Argon2 output length must be minimum 4!");
    EXPECT_EQ(make(16, 0, 7), "The Argon2 counter must be minimum 1!");
}

// --- salt -------------------------------------------------------------------

struct SaltCase {
    const char* name;
    String text;
    Salt bytes;
};

const SaltCase kSalts[] = {
    {"Empty", u"", {}},
    {"ShortIsZeroPadded", u"abcde", {'a', 'b', 'c', 'd', 'e'}},
    {"Sixteen",
     u"0123456789ABCDEF",
     {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}},
    {"LongIsCut",
     u"0123456789ABCDEF\u00E9\u20AC\u0416xyz",
     {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}},
    // Through Windows-1252: the euro sign is 0x80, a character it lacks is '?'.
    {"EightBitCodePage",
     u"\u00E9\u20AC\u0416\u00FF\u0152\u008F",
     {0xE9, 0x80, '?', 0xFF, 0x8C, 0x8F}},
};

class StringSalt : public testing::TestWithParam<SaltCase> {};

TEST_P(StringSalt, GivesSixteenSaltBytesAndReadsBackWhole) {
    const SaltCase& c = GetParam();
    TArgon2KeyDerivation kd(8, c.text, 1, TConvertType::hexa, 8, TUnicode::yesUni);
    EXPECT_EQ(kd.StringSalt(), c.text);
    EXPECT_EQ(kd.GenerateKey(u"pw"), CoreKey(1, 8, {'p', 'w'}, c.bytes, 8));
}

INSTANTIATE_TEST_SUITE_P(Rule, StringSalt, testing::ValuesIn(kSalts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StringSaltRule, TwentyCharactersGiveTheKeyOfTheirFirstSixteen) {
    TArgon2KeyDerivation kd;
    kd.SetStringSalt(u"ABCDEFGHIJKLMNOPQRST");
    const String key = kd.GenerateKey(u"pw");
    kd.SetStringSalt(u"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(kd.GenerateKey(u"pw"), key);
    kd.SetStringSalt(u"ABCDEFGHIJKLMNO");
    EXPECT_NE(kd.GenerateKey(u"pw"), key);
    kd.SetStringSalt(u"");  // back to sixteen zero bytes, as a new component
    EXPECT_EQ(kd.GenerateKey(u"pw"), TArgon2KeyDerivation().GenerateKey(u"pw"));
}

// --- password and settings ---------------------------------------------------

TEST(GenerateKey, PasswordBytesFollowTheUnicodeSetting) {
    const Salt zero = {};
    TArgon2KeyDerivation kd(8, u"", 1, TConvertType::hexa, 8, TUnicode::yesUni);
    EXPECT_EQ(kd.GenerateKey(u"\u00E9\u20AC"),
              CoreKey(1, 8, {0xC3, 0xA9, 0xE2, 0x82, 0xAC}, zero, 8));
    EXPECT_EQ(kd.GenerateKey(u""), CoreKey(1, 8, {}, zero, 8));
    kd.SetUnicode(TUnicode::noUni);
    EXPECT_EQ(kd.GenerateKey(u"\u00E9\u20AC"), CoreKey(1, 8, {0xE9, 0x80}, zero, 8));
}

TEST(GenerateKey, EverySettingEntersTheKey) {
    TArgon2KeyDerivation kd(8, u"s", 1, TConvertType::hexa, 8, TUnicode::yesUni);
    std::vector<String> keys = {kd.GenerateKey(u"pw")};
    for (const int32_t m : {9, 10, 11}) {  // same memory use as 8, different keys
        kd.SetMemory(m);
        keys.push_back(kd.GenerateKey(u"pw"));
    }
    kd.SetMemory(8);
    kd.SetCounter(2);
    keys.push_back(kd.GenerateKey(u"pw"));
    kd.SetCounter(1);
    kd.SetOutputSizeBytes(9);
    keys.push_back(kd.GenerateKey(u"pw").substr(0, 16));
    for (size_t i = 0; i < keys.size(); ++i)
        for (size_t j = i + 1; j < keys.size(); ++j) EXPECT_NE(keys[i], keys[j]) << i << " " << j;
}

TEST(GenerateKey, EveryOutputFormatCarriesTheSameBytes) {
    const struct {
        TConvertType format;
        size_t length;
    } formats[] = {{TConvertType::hexa, 64},
                   {TConvertType::base64, 44},
                   {TConvertType::base64url, 44},
                   {TConvertType::base32, 56},
                   {TConvertType::raw, 32}};
    TArgon2KeyDerivation kd(32, u"salt text", 1, TConvertType::hexa, 8, TUnicode::yesUni);
    const String hexa = kd.GenerateKey(u"password");
    for (const auto& f : formats) {
        kd.SetOutputFormat(f.format);
        const String key = kd.GenerateKey(u"password");
        EXPECT_EQ(key.size(), f.length) << static_cast<int>(f.format);
        TConvert convert(f.format);
        if (f.format == TConvertType::raw) {
            EXPECT_EQ(TConvert(TConvertType::hexa).StringToFormat(key), hexa);
        } else {
            const TBytes bytes = convert.FormatToChar(key);
            EXPECT_EQ(Hexa(Bytes(bytes.begin(), bytes.begin() + 32)), hexa);
        }
    }
}

TEST(GenerateKey, UnknownFormatRaisesTheConversionError) {
    TArgon2KeyDerivation kd(4, u"", 1, static_cast<TConvertType>(7), 8, TUnicode::yesUni);
    EXPECT_EQ(MessageOf([&] { kd.GenerateKey(u"pw"); }), "Bad Type (7)");
}

TEST(GenerateKey, MemoryThatCannotBeAllocatedRaisesMallocFails) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer aborts on a request this large instead of failing it";
#endif
#if !defined(_WIN32)
    // With overcommit on, a 2 TiB request may be granted and then touched.
    std::ifstream overcommit("/proc/sys/vm/overcommit_memory");
    int mode = 0;
    if (overcommit >> mode && mode == 1) GTEST_SKIP() << "memory overcommit is unlimited";
#endif
    TArgon2KeyDerivation kd;
    kd.SetMemory(INT32_MAX);  // about 2 TiB
    try {
        kd.GenerateKey(u"pw");
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -1402);
        EXPECT_STREQ(e.what(), "error : a malloc FAILS!");
    }
}

}  // namespace
