// TSHA2Hash: digests of texts, streams and files in every output format,
// progress reporting, HMAC and its verification.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "crypto/HashObj.h"
#include "crypto/core/sha2.h"
#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

namespace {

using rtl::String;
using Bytes = std::vector<uint8_t>;
constexpr TConvertType kFormats[] = {TConvertType::base64, TConvertType::hexa,
                                     TConvertType::base64url, TConvertType::base32,
                                     TConvertType::raw};
constexpr int32_t kSizes[] = {256, 384, 512};

// A text whose one-byte-per-character conversion is exactly `bytes`.
String TextOf(const Bytes& bytes) {
    return String(bytes.begin(), bytes.end());
}

Bytes RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rtl::Exception& e) {
        return e.what();
    }
    return "no exception";
}

// --- digests of texts -------------------------------------------------------

// FIPS 180-4 examples (empty message and "abc").
struct Vector {
    int32_t bits;
    const char16_t* text;
    const char16_t* hexa;
};

const Vector kVectors[] = {
    {256, u"", u"E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
    {256, u"abc", u"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
    {384, u"",
     u"38B060A751AC96384CD9327EB1B1E36A21FDB71114BE07434C0CC7BF63F6E1DA274EDEBFE76F65FBD51AD2F14898"
     u"B95B"},
    {384, u"abc",
     u"CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED8086072BA1E7CC2358BAECA134C8"
     u"25A7"},
    {512, u"",
     u"CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE47D0D13C5D85F2B0FF8318D2877E"
     u"EC2F63B931BD47417A81A538327AF927DA3E"},
    {512, u"abc",
     u"DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FE"
     u"EBBD454D4423643CE80E2A9AC94FA54CA49F"},
};

class HashVectors : public testing::TestWithParam<Vector> {};

TEST_P(HashVectors, TextAndStreamGiveTheStandardDigest) {
    const Vector& v = GetParam();
    TSHA2Hash hash(v.bits, TConvertType::hexa, TUnicode::yesUni);
    EXPECT_EQ(hash.Hash(v.text), v.hexa);
    const std::string ascii(v.text, v.text + std::char_traits<char16_t>::length(v.text));
    rtl::TMemoryStream stream(Bytes(ascii.begin(), ascii.end()));
    EXPECT_EQ(hash.HashStream(stream), v.hexa);
}

INSTANTIATE_TEST_SUITE_P(Fips180, HashVectors, testing::ValuesIn(kVectors));

TEST(Hash, FormatsTheDigestInOutputFormat) {
    const struct {
        TConvertType format;
        const char16_t* text;
    } cases[] = {
        {TConvertType::hexa, u"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {TConvertType::base64, u"ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0="},
        {TConvertType::base64url, u"ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0="},
        {TConvertType::base32, u"XJ4BNP4PAHH6UQKBIDPF3LRCEOYAGYNDSYLXVHFUCD7WD4QACWWQ===="},
    };
    TSHA2Hash hash;
    for (const auto& c : cases) {
        hash.SetOutputFormat(c.format);
        EXPECT_EQ(hash.Hash(u"abc"), c.text) << static_cast<int>(c.format);
    }
    // raw: one character per digest byte through the 8-bit code page.
    hash.SetOutputFormat(TConvertType::raw);
    const String raw = hash.Hash(u"abc");
    ASSERT_EQ(raw.size(), 32u);
    EXPECT_EQ(raw[0], u'\u00BA');
    EXPECT_EQ(raw[4], u'\u008F');  // 0x8F, undefined in 1252, round-trips
}

TEST(Hash, UnicodeSettingChoosesUtf8OrOneBytePerCharacter) {
    TSHA2Hash hash;
    EXPECT_EQ(hash.Hash(u"\u00E9"),  // UTF-8 C3 A9
              u"4A99557E4033C3539DE2EB65472017CAD5F9557F7A0625A09F1C3F6E2BA69C4C");
    hash.SetUnicode(TUnicode::noUni);  // E9
    EXPECT_EQ(hash.Hash(u"\u00E9"),
              u"DE2E331D891AE267A7009CB45B4E8830F170E0C937288EA2731A1941C7A53B0D");
}

// --- properties and construction -------------------------------------------

TEST(HashSizeBits, AcceptsOnlyTheThreeSizesAndKeepsTheOldOneOtherwise) {
    TSHA2Hash hash;
    EXPECT_EQ(hash.hashSizeBits(), 256);
    EXPECT_EQ(hash.outputFormat(), TConvertType::hexa);
    EXPECT_EQ(hash.Unicode(), TUnicode::yesUni);
    EXPECT_EQ(hash.Progress(), 0);
    EXPECT_FALSE(hash.OnChange());
    hash.SetHashSizeBits(384);
    for (const int32_t bad : {224, 0, -256, 128, 1024, 257}) {
        EXPECT_EQ(MessageOf([&] { hash.SetHashSizeBits(bad); }),
                  "Incorrect size of the hash, must be 256, 384 or 512")
            << bad;
        EXPECT_EQ(hash.hashSizeBits(), 384);
    }
    EXPECT_EQ(MessageOf([] { TSHA2Hash(224, TConvertType::base64, TUnicode::yesUni); }),
              "Incorrect size of the hash, must be 256, 384 or 512");
}

TEST(Construction, SettingsAndOwnerOfEachConstructor) {
    TConvert owner;
    auto* owned = new TSHA2Hash(&owner);
    EXPECT_EQ(owned->Owner(), &owner);
    EXPECT_EQ(owned->hashSizeBits(), 256);
    EXPECT_EQ(owned->Version(), u"3.3.0.0");
    const TSHA2Hash made(512, TConvertType::base32, TUnicode::noUni);
    EXPECT_EQ(made.Owner(), nullptr);
    EXPECT_EQ(made.hashSizeBits(), 512);
    EXPECT_EQ(made.outputFormat(), TConvertType::base32);
    EXPECT_EQ(made.Unicode(), TUnicode::noUni);
}

// --- streams ----------------------------------------------------------------

// Contents around every padding boundary of both block sizes.
class StreamEqualsText : public testing::TestWithParam<size_t> {};

TEST_P(StreamEqualsText, InEveryFormatSizeAndSha256Path) {
    const Bytes content = RandomBytes(GetParam(), static_cast<uint32_t>(GetParam()));
    for (const bool portable : {false, true}) {
        core::Sha256ForcePortable(portable);
        for (const int32_t bits : kSizes) {
            for (const TConvertType format : kFormats) {
                TSHA2Hash hash(bits, format, TUnicode::noUni);
                rtl::TMemoryStream stream(content);
                EXPECT_EQ(hash.HashStream(stream), hash.Hash(TextOf(content)))
                    << bits << " bits, format " << static_cast<int>(format)
                    << (portable ? ", portable" : "");
            }
        }
    }
    core::Sha256ForcePortable(false);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StreamEqualsText,
                         testing::Values(0, 1, 55, 56, 57, 63, 64, 65, 111, 112, 113, 119, 120, 127,
                                         128, 129, 183, 184, 191, 192, 239, 240, 1000,
                                         64 * 1024 - 1, 64 * 1024, 64 * 1024 + 120,
                                         3 * 64 * 1024 + 7));

TEST(HashStream, RewindsToTheFirstByte) {
    const Bytes content = RandomBytes(300, 1);
    TSHA2Hash hash;
    rtl::TMemoryStream stream(content);
    const String whole = hash.HashStream(stream);
    EXPECT_EQ(stream.Position(), 300);
    EXPECT_EQ(hash.HashStream(stream), whole);
    stream.SetPosition(123);
    EXPECT_EQ(hash.HashStream(stream), whole);
}

// A stream whose size is announced but whose bytes are made on demand; it can
// stop early, or fail, after a given number of bytes.
class GeneratedStream : public rtl::TStream {
public:
    enum class End { none, early, fails };
    GeneratedStream(int64_t size, int64_t deliver, End end)
        : size_(size), deliver_(deliver), end_(end) {}
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = std::max<int64_t>(0, std::min(count, deliver_ - position_));
        if (n == 0 && count > 0 && end_ == End::fails) throw rtl::EReadError();
        auto* out = static_cast<uint8_t*>(buffer);
        for (int64_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>((position_ + i) * 7);
        position_ += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        if (origin == rtl::TSeekOrigin::soBeginning) position_ = offset;
        if (origin == rtl::TSeekOrigin::soCurrent) position_ += offset;
        if (origin == rtl::TSeekOrigin::soEnd) position_ = size_ + offset;
        return position_;
    }
    void SetSize(int64_t) override {}

private:
    int64_t size_;
    int64_t deliver_;
    End end_;
    int64_t position_ = 0;
};

TEST(HashStream, AStreamThatEndsBeforeItsSizeIsAnErrorNotADigest) {
    for (const auto end : {GeneratedStream::End::early, GeneratedStream::End::fails}) {
        TSHA2Hash hash;
        hash.SetProgress(55);
        std::vector<int32_t> seen;
        hash.SetOnChange([&](rtl::TObject*) { seen.push_back(hash.Progress()); });
        GeneratedStream stream(1000, 640, end);
        EXPECT_THROW(hash.HashStream(stream), rtl::EReadError);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), hash.Progress());
        EXPECT_LT(hash.Progress(), 100);
    }
}

// --- progress ---------------------------------------------------------------

struct ProgressCase {
    int32_t bits;
    size_t size;
    int32_t before;  // Progress when HashStream starts
    std::vector<int32_t> events;
};

std::vector<int32_t> Tens(bool withZero) {
    std::vector<int32_t> v;
    if (withZero) v.push_back(0);
    for (int32_t p = 10; p <= 100; p += 10) v.push_back(p);
    return v;
}

class Progress : public testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, ReportsEachNewValueOnceWithTheComponentAsSender) {
    const ProgressCase& c = GetParam();
    TSHA2Hash hash(c.bits, TConvertType::hexa, TUnicode::yesUni);
    hash.SetProgress(c.before);
    std::vector<int32_t> seen;
    hash.SetOnChange([&](rtl::TObject* sender) {
        EXPECT_EQ(sender, &hash);
        seen.push_back(hash.Progress());
    });
    rtl::TMemoryStream stream(RandomBytes(c.size, 3));
    hash.HashStream(stream);
    EXPECT_EQ(seen, c.events);
}

INSTANTIATE_TEST_SUITE_P(Streams, Progress,
                         testing::Values(ProgressCase{256, 640, 37, Tens(true)},
                                         ProgressCase{256, 640, 0, Tens(false)},
                                         ProgressCase{384, 1280, 100, Tens(true)},
                                         ProgressCase{512, 1280, 5, Tens(true)},
                                         ProgressCase{256, 0, 50, {0, 100}},
                                         ProgressCase{512, 0, 0, {100}},
                                         // three blocks of 33, 66 and 100 percent
                                         ProgressCase{256, 192, 0, {33, 66, 100}},
                                         // one block, then the padding block: 100 once
                                         ProgressCase{256, 100, 100, {0, 64, 100}}));

TEST(Progress, WritingAnEqualValueRaisesNothing) {
    TSHA2Hash hash;
    int events = 0;
    hash.SetOnChange([&](rtl::TObject*) { ++events; });
    hash.SetProgress(0);
    EXPECT_EQ(events, 0);
    hash.SetProgress(42);
    hash.SetProgress(42);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(hash.Progress(), 42);
}

// --- files ------------------------------------------------------------------

class HashFileTest : public test_support::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        path_ = folder_ + u"d\u00E9j\u00E0 vu.bin";
        content_ = RandomBytes(5000, 9);
        rtl::TFileStream(path_, rtl::fmCreate).WriteBuffer(content_.data(), 5000);
    }
    String path_;
    Bytes content_;
};

TEST_F(HashFileTest, HashesTheContentAndClosesTheFile) {
    TSHA2Hash hash(384, TConvertType::base64, TUnicode::noUni);
    EXPECT_EQ(hash.HashFile(path_), hash.Hash(TextOf(content_)));
    EXPECT_EQ(hash.Progress(), 100);
    // Closed again: an exclusive open succeeds.
    EXPECT_NO_THROW(rtl::TFileStream(path_, rtl::fmOpenRead | rtl::fmShareExclusive));
}

TEST_F(HashFileTest, AFileHeldExclusivelyOrMissingRaisesTheOpenError) {
    TSHA2Hash hash;
    {
        rtl::TFileStream held(path_, rtl::fmOpenRead | rtl::fmShareExclusive);
        EXPECT_THROW(hash.HashFile(path_), rtl::EFOpenError);
    }
    EXPECT_THROW(hash.HashFile(folder_ + u"missing.bin"), rtl::EFOpenError);
}

// --- HMAC -------------------------------------------------------------------

// RFC 4231 test cases 2 (short key) and 6 (key longer than a block).
struct HmacVector {
    int32_t bits;
    String message;
    String key;
    const char16_t* hexa;
};

const HmacVector kHmacVectors[] = {
    {256, u"what do ya want for nothing?", u"Jefe",
     u"5BDCC146BF60754E6A042426089575C75A003F089D2739839DEC58B964EC3843"},
    {384, u"what do ya want for nothing?", u"Jefe",
     u"AF45D2E376484031617F78D2B58A6B1B9C7EF464F5A01B47E42EC3736322445E8E2240CA5E69E2C78B3239ECFAB2"
     u"1649"},
    {512, u"what do ya want for nothing?", u"Jefe",
     u"164B7A7BFCF819E2E395FBE73B56E0A387BD64222E831FD610270CD7EA2505549758BF75C05A994A6D034F65F8F0"
     u"E6FDCAEAB1A34D4A6B4B636E070A38BCE737"},
    {256, u"Test Using Larger Than Block-Size Key - Hash Key First", String(131, u'\u00AA'),
     u"60E431591EE0B67F0D8A26AACBF5B77F8E0BC6213728C5140546040F0EE37F54"},
    {512, u"Test Using Larger Than Block-Size Key - Hash Key First", String(131, u'\u00AA'),
     u"80B24263C7C1A3EBB71493C1DD7BE8B49B46D1F41B4AEEC1121B013783F8F3526B56D037E05F2598BD0FD2215D6A"
     u"1E5295E64F73F63F0AEC8B915A985D786598"},
};

class HmacVectors : public testing::TestWithParam<HmacVector> {};

TEST_P(HmacVectors, MatchTheStandardAndVerify) {
    const HmacVector& v = GetParam();
    TSHA2Hash hash(v.bits, TConvertType::hexa, TUnicode::yesUni);
    EXPECT_EQ(hash.HMAC(v.message, v.key), v.hexa);
    EXPECT_EQ(hash.VerifyHMAC(v.message, v.key, v.hexa), 0);
}

INSTANTIATE_TEST_SUITE_P(Rfc4231, HmacVectors, testing::ValuesIn(kHmacVectors));

TEST(Hmac, VerifiesInEveryFormatAndSizeAndRejectsAnyChange) {
    const String s = u"message \u00E9t\u00E9 \u0416";
    const String k = u"key \u00FF\u20AC";
    for (const int32_t bits : kSizes) {
        for (const TConvertType format : kFormats) {
            TSHA2Hash hash(bits, format, TUnicode::yesUni);
            const String mac = hash.HMAC(s, k);
            EXPECT_EQ(hash.VerifyHMAC(s, k, mac), 0) << bits << " " << static_cast<int>(format);
            EXPECT_EQ(hash.VerifyHMAC(s + u"!", k, mac), -106);
            EXPECT_EQ(hash.VerifyHMAC(s, u"key \u00FF\u20AD", mac), -106);
        }
    }
}

TEST(Hmac, KeyIsOneBytePerCharacterWhateverTheUnicodeSetting) {
    TSHA2Hash hash;
    // The euro sign is byte 0x80 in the 8-bit code page, and "é" is E9 (not C3 A9).
    EXPECT_EQ(hash.HMAC(u"m", u"\u20AC\u00E9"), hash.HMAC(u"m", u"\u0080\u00E9"));
    EXPECT_NE(hash.HMAC(u"m", u"\u00E9"), hash.HMAC(u"m", u"\u00C3\u00A9"));
    // The message follows the Unicode setting.
    const String utf8 = hash.HMAC(u"\u00E9", u"k");
    hash.SetUnicode(TUnicode::noUni);
    EXPECT_EQ(hash.HMAC(u"\u00C3\u00A9", u"k"), utf8);
    EXPECT_NE(hash.HMAC(u"\u00E9", u"k"), utf8);
}

TEST(Hmac, AShortOrLongMacValue) {
    TSHA2Hash hash(512, TConvertType::hexa, TUnicode::yesUni);
    const String mac = hash.HMAC(u"s", u"k");
    // Shorter than a digest: cannot match, and is not read past its end.
    EXPECT_EQ(hash.VerifyHMAC(u"s", u"k", mac.substr(0, 126)), -106);
    EXPECT_EQ(hash.VerifyHMAC(u"s", u"k", u""), -106);
    // Bytes beyond the digest length are not compared.
    EXPECT_EQ(hash.VerifyHMAC(u"s", u"k", mac + u"00FF"), 0);
}

TEST(Hmac, UndecodableValueOrUnknownFormatRaiseTheConversionError) {
    TSHA2Hash hash(256, TConvertType::base64, TUnicode::yesUni);
    try {
        hash.VerifyHMAC(u"s", u"k", u"A");
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -2);
    }
    hash.SetOutputFormat(static_cast<TConvertType>(9));
    EXPECT_EQ(MessageOf([&] { hash.Hash(u"x"); }), "Bad Type (9)");
    EXPECT_EQ(MessageOf([&] { hash.HMAC(u"x", u"k"); }), "Bad Type (9)");
    rtl::TMemoryStream stream(Bytes{1, 2, 3});
    EXPECT_EQ(MessageOf([&] { hash.HashStream(stream); }), "Bad Type (9)");
}

// --- the package's password check value --------------------------------------

TEST(PasswordCheckValue, LockerAndUnlockerComponentsAgree) {
    const String salt = u"9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08";
    const String password = u"p\u00E4ssw\u00F6rd \u20AC";
    TSHA2Hash locker(256, TConvertType::base64, TUnicode::yesUni);
    TConvert form;
    auto* unlocker = new TSHA2Hash(&form);
    unlocker->SetOutputFormat(TConvertType::base64);
    const String value = locker.Hash(password + salt);
    EXPECT_EQ(value.size(), 44u);
    EXPECT_EQ(value.back(), u'=');
    EXPECT_EQ(unlocker->Hash(password + salt), value);
    EXPECT_NE(unlocker->Hash(password + u"x" + salt), value);
}

}  // namespace
