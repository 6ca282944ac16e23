#include <gtest/gtest.h>

#include <set>

#include "crypto/AESObj.h"
#include "crypto/EQuorin.h"
#include "rtl/Exception.h"
#include "tests/crypto/aes_component_support.h"

namespace {

using aes_component_test::CodeOf;
using aes_component_test::MessageOf;
using aes_component_test::ProgressLog;
using rtl::String;

const String kKey16 = u"0123456789abcdef";
const String kKey24 = u"0123456789abcdefGHIJKLMN";
const String kKey32 = u"0123456789abcdef0123456789ABCDEF";
const String kIv = u"fedcba9876543210";

String Chars(const std::vector<uint8_t>& bytes) {
    String text;
    for (uint8_t b : bytes) text += static_cast<char16_t>(b);
    return text;
}

String Letters(size_t count) {
    String text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char16_t>(u'a' + i % 26);
    return text;
}

TEST(AesSettings, DefaultsOfEveryConstructor) {
    rtl::TComponent owner;
    TAESEncryption plain;
    auto* owned = new TAESEncryption(&owner);
    for (TAESEncryption* aes : {&plain, owned}) {
        EXPECT_EQ(aes->keyLength(), TAESKeyLength::kl128);
        EXPECT_EQ(aes->AType(), TAESType::atCBC);
        EXPECT_EQ(aes->outputFormat(), TConvertType::hexa);
        EXPECT_EQ(aes->IVMode(), TIVMode::rand);
        EXPECT_EQ(aes->paddingMode(), TPaddingMode::PKCS7);
        EXPECT_EQ(aes->Unicode(), TUnicode::yesUni);
        EXPECT_EQ(aes->Progress(), 0);
        EXPECT_TRUE(aes->key().empty());
        EXPECT_TRUE(aes->IV().empty());
        EXPECT_FALSE(aes->OnChange());
        EXPECT_EQ(aes->Version(), u"3.3.0.0");
    }
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), owned);
}

TEST(AesSettings, EnumerationOrdinals) {
    EXPECT_EQ(static_cast<int>(TAESKeyLength::kl192), 1);
    EXPECT_EQ(static_cast<int>(TAESKeyLength::kl256), 2);
    EXPECT_EQ(static_cast<int>(TAESType::atECB), 0);
    EXPECT_EQ(static_cast<int>(TAESType::atOFB), 2);
    EXPECT_EQ(static_cast<int>(TAESType::atCTR), 3);
    EXPECT_EQ(static_cast<int>(TIVMode::userdefined), 1);
    EXPECT_EQ(static_cast<int>(TPaddingMode::nopadding), 1);
    EXPECT_EQ(sizeof(TAESType), 1u);
}

TEST(AesSettings, SettingConstructors) {
    const TAESEncryption random(TAESKeyLength::kl256, kKey32, TAESType::atOFB,
                                TPaddingMode::nopadding, TConvertType::base32, TUnicode::noUni);
    EXPECT_EQ(random.keyLength(), TAESKeyLength::kl256);
    EXPECT_EQ(random.key(), kKey32);
    EXPECT_EQ(random.AType(), TAESType::atOFB);
    EXPECT_EQ(random.paddingMode(), TPaddingMode::nopadding);
    EXPECT_EQ(random.outputFormat(), TConvertType::base32);
    EXPECT_EQ(random.Unicode(), TUnicode::noUni);
    EXPECT_EQ(random.IVMode(), TIVMode::rand);
    EXPECT_TRUE(random.IV().empty());

    const TAESEncryption user(TAESKeyLength::kl192, kKey24, TAESType::atCTR, TPaddingMode::PKCS7,
                              TConvertType::base64, TUnicode::yesUni, kIv);
    EXPECT_EQ(user.key(), kKey24);
    EXPECT_EQ(user.IVMode(), TIVMode::userdefined);
    EXPECT_EQ(user.IV(), kIv);
}

TEST(AesSettings, ConstructorRefusingKeyOrIvRaisesTheWriteMessage) {
    EXPECT_EQ(MessageOf<rtl::Exception>([] {
                  TAESEncryption aes(TAESKeyLength::kl256, kKey16, TAESType::atCBC,
                                     TPaddingMode::PKCS7, TConvertType::hexa, TUnicode::yesUni);
              }),
              u"Keylength incorrect, must be 32");
    EXPECT_EQ(MessageOf<rtl::Exception>([] {
                  TAESEncryption aes(TAESKeyLength::kl128, kKey16, TAESType::atCBC,
                                     TPaddingMode::PKCS7, TConvertType::hexa, TUnicode::yesUni,
                                     u"short");
              }),
              u"IV length incorrect, must be 16");
    // An empty key is no write at all: the component is built without a key.
    const TAESEncryption keyless(TAESKeyLength::kl256, u"", TAESType::atCBC, TPaddingMode::PKCS7,
                                 TConvertType::hexa, TUnicode::yesUni);
    EXPECT_TRUE(keyless.key().empty());
}

struct KeyWrite {
    TAESKeyLength length;
    size_t characters;
    const char16_t* message;  // null: accepted
};

class AesKeyWrite : public testing::TestWithParam<KeyWrite> {};

TEST_P(AesKeyWrite, AcceptsExactlyKeyLengthOverEightCharacters) {
    const KeyWrite& row = GetParam();
    TAESEncryption aes;
    aes.SetKeyLength(row.length);
    const String previous = kKey32.substr(0, aes.keyLength() == TAESKeyLength::kl128   ? 16
                                             : aes.keyLength() == TAESKeyLength::kl192 ? 24
                                                                                       : 32);
    aes.SetKey(previous);
    const String candidate(row.characters, u'k');
    if (row.message == nullptr) {
        aes.SetKey(candidate);
        EXPECT_EQ(aes.key(), candidate);
    } else {
        EXPECT_EQ(MessageOf<rtl::Exception>([&] { aes.SetKey(candidate); }), row.message);
        EXPECT_EQ(aes.key(), previous);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AesKeyWrite,
    testing::Values(KeyWrite{TAESKeyLength::kl128, 16, nullptr},
                    KeyWrite{TAESKeyLength::kl128, 15, u"Keylength incorrect, must be 16"},
                    KeyWrite{TAESKeyLength::kl128, 32, u"Keylength incorrect, must be 16"},
                    KeyWrite{TAESKeyLength::kl192, 24, nullptr},
                    KeyWrite{TAESKeyLength::kl192, 16, u"Keylength incorrect, must be 24"},
                    KeyWrite{TAESKeyLength::kl256, 32, nullptr},
                    KeyWrite{TAESKeyLength::kl256, 31, u"Keylength incorrect, must be 32"},
                    KeyWrite{TAESKeyLength::kl256, 33, u"Keylength incorrect, must be 32"}));

TEST(AesSettings, EmptyWritesKeepKeyAndIvAndKeyLengthChangeChecksNothing) {
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(kKey32);
    aes.SetKey(u"");
    EXPECT_EQ(aes.key(), kKey32);
    EXPECT_NO_THROW(aes.SetKeyLength(TAESKeyLength::kl128));
    EXPECT_EQ(aes.key(), kKey32);

    aes.SetIV(kIv);
    aes.SetIV(u"");
    EXPECT_EQ(aes.IV(), kIv);
    for (size_t length : {1u, 15u, 17u}) {
        EXPECT_EQ(MessageOf<rtl::Exception>([&] { aes.SetIV(String(length, u'v')); }),
                  u"IV length incorrect, must be 16");
        EXPECT_EQ(aes.IV(), kIv);
    }
}

TEST(AesProgress, OnlyAChangedValueNotifiesWithTheComponentAsSender) {
    TAESEncryption aes;
    ProgressLog log(aes);
    aes.SetProgress(0);
    aes.SetProgress(40);
    aes.SetProgress(40);
    aes.SetProgress(100);
    EXPECT_EQ(log.values, (std::vector<int32_t>{40, 100}));
    aes.SetOnChange(nullptr);
    EXPECT_NO_THROW(aes.SetProgress(7));
    EXPECT_EQ(aes.Progress(), 7);
}

TEST(AesProgress, ChangeCanBeOverridden) {
    struct Counting : TAESEncryption {
        int changes = 0;
        void Change() override {
            ++changes;
            TAESEncryption::Change();
        }
    } aes;
    int events = 0;
    aes.SetOnChange([&](rtl::TObject*) { ++events; });
    aes.SetProgress(5);
    aes.SetProgress(5);
    EXPECT_EQ(aes.changes, 1);
    EXPECT_EQ(events, 1);
}

// NIST SP 800-38A F.1.1 and F.2.1, first block: the component's byte layout
// is the standard one.
TEST(AesText, MatchesTheStandardVectors) {
    const String key = Chars({0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15,
                              0x88, 0x09, 0xcf, 0x4f, 0x3c});
    const std::vector<uint8_t> plainBytes{0x6b, 0xc1, 0xbe, 0xe2, 0x2e, 0x40, 0x9f, 0x96,
                                          0xe9, 0x3d, 0x7e, 0x11, 0x73, 0x93, 0x17, 0x2a};
    const String plain = Chars(plainBytes);
    const String iv = Chars({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    TAESEncryption ecb(TAESKeyLength::kl128, key, TAESType::atECB, TPaddingMode::nopadding,
                       TConvertType::hexa, TUnicode::noUni);
    EXPECT_EQ(ecb.Encrypt(plain), u"3AD77BB40D7A3660A89ECAF32466EF97");
    // Decrypted bytes come back through the system code page: 0x9F is U+0178.
    EXPECT_EQ(ecb.Decrypt(u"3AD77BB40D7A3660A89ECAF32466EF97"),
              text_rules::RuleP(plainBytes.data(), plainBytes.size()));
    TAESEncryption cbc(TAESKeyLength::kl128, key, TAESType::atCBC, TPaddingMode::nopadding,
                       TConvertType::hexa, TUnicode::noUni, iv);
    EXPECT_EQ(cbc.Encrypt(plain), u"7649ABAC8119B246CEE98E9B12E9197D");
}

struct TextCase {
    TAESType mode;
    TIVMode ivMode;
    TPaddingMode padding;
    size_t bytes;        // UTF-8 bytes of the text
    size_t cipherBytes;  // bytes the ciphertext stands for
};

class AesTextLength : public testing::TestWithParam<TextCase> {};

TEST_P(AesTextLength, CiphertextSizeAndRoundTrip) {
    const TextCase& row = GetParam();
    TAESEncryption aes;
    aes.SetKey(kKey16);
    aes.SetIV(kIv);
    aes.SetAType(row.mode);
    aes.SetIVMode(row.ivMode);
    aes.SetPaddingMode(row.padding);
    const String text = Letters(row.bytes);
    const String cipher = aes.Encrypt(text);
    EXPECT_EQ(cipher.size(), 2 * row.cipherBytes);
    EXPECT_EQ(aes.Decrypt(cipher), text);
    EXPECT_EQ(aes.Progress(), 0);
}

constexpr auto ECB = TAESType::atECB, CBC = TAESType::atCBC, OFB = TAESType::atOFB,
               CTR = TAESType::atCTR;
constexpr auto RAND = TIVMode::rand, USER = TIVMode::userdefined;
constexpr auto PAD = TPaddingMode::PKCS7, NOPAD = TPaddingMode::nopadding;

INSTANTIATE_TEST_SUITE_P(
    Table, AesTextLength,
    testing::Values(TextCase{CBC, RAND, PAD, 0, 32}, TextCase{CBC, RAND, PAD, 1, 32},
                    TextCase{CBC, RAND, PAD, 15, 32}, TextCase{CBC, RAND, PAD, 16, 48},
                    TextCase{CBC, RAND, PAD, 17, 48}, TextCase{CBC, USER, PAD, 16, 32},
                    TextCase{ECB, RAND, PAD, 16, 32}, TextCase{ECB, USER, PAD, 0, 16},
                    TextCase{OFB, RAND, PAD, 31, 48}, TextCase{CTR, USER, PAD, 33, 48},
                    TextCase{CBC, RAND, NOPAD, 32, 48}, TextCase{CTR, RAND, NOPAD, 16, 32},
                    TextCase{OFB, USER, NOPAD, 48, 48}, TextCase{ECB, RAND, NOPAD, 32, 32},
                    TextCase{CTR, RAND, NOPAD, 0, 16}, TextCase{ECB, USER, NOPAD, 0, 0},
                    TextCase{CBC, USER, NOPAD, 0, 0}));

struct FormatCase {
    TConvertType format;
    TAESType mode;
};

class AesTextFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(AesTextFormat, AnyTextRoundTripsInEveryFormat) {
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(kKey32);
    aes.SetOutputFormat(GetParam().format);
    aes.SetAType(GetParam().mode);
    // Letters missing from Windows-1252, a surrogate pair, the euro sign and
    // every byte value that code page maps above U+00FF once encrypted.
    const String text = u"h\u00E9llo \u0416 \U0001F600 \u20AC \u0081 end";
    for (int round = 0; round < 20; ++round) {
        const String mixed = text + Letters(static_cast<size_t>(round));
        EXPECT_EQ(aes.Decrypt(aes.Encrypt(mixed)), mixed);
    }
    aes.SetUnicode(TUnicode::noUni);
    const String latin = u"caf\u00E9 \u00FF\u0001";
    EXPECT_EQ(aes.Decrypt(aes.Encrypt(latin)), latin);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AesTextFormat,
    testing::Values(FormatCase{TConvertType::hexa, CBC}, FormatCase{TConvertType::base64, CBC},
                    FormatCase{TConvertType::base64url, OFB}, FormatCase{TConvertType::base32, CTR},
                    FormatCase{TConvertType::raw, CBC}, FormatCase{TConvertType::raw, ECB},
                    FormatCase{TConvertType::base64, ECB}));

TEST(AesText, RandomIvDiffersEachTimeFixedSettingsRepeat) {
    TAESEncryption aes;
    aes.SetKey(kKey16);
    const String text = u"same text";
    EXPECT_NE(aes.Encrypt(text), aes.Encrypt(text));
    aes.SetAType(TAESType::atECB);
    EXPECT_EQ(aes.Encrypt(text), aes.Encrypt(text));
    aes.SetAType(TAESType::atCBC);
    aes.SetIVMode(TIVMode::userdefined);
    aes.SetIV(kIv);
    const String first = aes.Encrypt(text);
    EXPECT_EQ(aes.Encrypt(text), first);
    aes.SetIV(u"0000000000000000");
    EXPECT_NE(aes.Encrypt(text), first);
}

struct Failure {
    const char* name;
    TAESType mode;
    TIVMode ivMode;
    TPaddingMode padding;
    bool decrypt;
    String input;  // plain text, or hexadecimal ciphertext
    int32_t code;
    const char16_t* message;
};

class AesTextFailure : public testing::TestWithParam<Failure> {};

TEST_P(AesTextFailure, RaisesTheCoreCodeAndKeepsSettings) {
    const Failure& row = GetParam();
    TAESEncryption aes;
    aes.SetKey(kKey16);
    aes.SetIV(kIv);
    aes.SetAType(row.mode);
    aes.SetIVMode(row.ivMode);
    aes.SetPaddingMode(row.padding);
    try {
        row.decrypt ? aes.Decrypt(row.input) : aes.Encrypt(row.input);
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), row.code);
        EXPECT_EQ(e.Message(), row.message);
    }
    EXPECT_EQ(aes.key(), kKey16);
    EXPECT_EQ(aes.AType(), row.mode);
    EXPECT_EQ(aes.paddingMode(), row.padding);
}

const char16_t kClearLength[] =
    u"error : in AES with no padding, the length of the clear text must be a multiple of 16 "
    u"bytes!";
const char16_t kCipherLength[] =
    u"error : in AES, the cipher text must have a length multiple of 128 bits!";
const char16_t kPadding[] =
    u"error : in AES, the cipher text cannot be decrypted because the padding is not correct!";
const char16_t kShortIv[] =
    u"error : in AES with IV in cipher text, the cipher text must have a length minimum 16 "
    u"bytes!";

INSTANTIATE_TEST_SUITE_P(
    Table, AesTextFailure,
    testing::Values(
        Failure{"NoPaddingCbc", CBC, RAND, NOPAD, false, Letters(20), -211, kClearLength},
        Failure{"NoPaddingCtr", CTR, USER, NOPAD, false, Letters(20), -211, kClearLength},
        Failure{"NoPaddingEcb", ECB, RAND, NOPAD, false, Letters(1), -211, kClearLength},
        Failure{"CipherNotBlocks", CBC, RAND, PAD, true, String(40, u'A'), -207, kCipherLength},
        Failure{"CipherNotBlocksEcb", ECB, USER, NOPAD, true, String(2, u'A'), -207, kCipherLength},
        Failure{"CtrShortIv", CTR, RAND, PAD, true, String(30, u'A'), -212, kShortIv}),
    [](const testing::TestParamInfo<Failure>& info) { return info.param.name; });

TEST(AesText, LastDecryptedByteAboveSixteenIsBadPadding) {
    TAESEncryption raw(TAESKeyLength::kl128, kKey16, TAESType::atECB, TPaddingMode::nopadding,
                       TConvertType::hexa, TUnicode::noUni);
    for (char16_t last : {u'\x11', u'\xFF'}) {
        const String cipher = raw.Encrypt(String(15, u'x') + last);
        TAESEncryption padded(TAESKeyLength::kl128, kKey16, TAESType::atECB, TPaddingMode::PKCS7,
                              TConvertType::hexa, TUnicode::noUni);
        EXPECT_EQ(CodeOf([&] { padded.Decrypt(cipher); }), -208);
    }
    // A last byte of 0 removes nothing; 16 removes the whole block.
    TAESEncryption padded(TAESKeyLength::kl128, kKey16, TAESType::atECB, TPaddingMode::PKCS7,
                          TConvertType::hexa, TUnicode::noUni);
    EXPECT_EQ(padded.Decrypt(raw.Encrypt(String(15, u'x') + u'\0')), String(15, u'x') + u'\0');
    EXPECT_EQ(padded.Decrypt(raw.Encrypt(String(16, u'\x10'))), u"");
}

// CTR accepts any length; with PKCS7 a ragged one decrypts to whatever its
// last byte allows, and nothing is read or written outside the buffers (the
// sanitizer build checks that).
TEST(AesText, RaggedCtrCiphertextStaysInsideItsBuffers) {
    TAESEncryption aes;
    aes.SetKey(kKey16);
    aes.SetAType(TAESType::atCTR);
    for (TIVMode ivMode : {TIVMode::rand, TIVMode::userdefined}) {
        aes.SetIVMode(ivMode);
        aes.SetIV(kIv);
        for (size_t bytes = 17; bytes < 48; ++bytes) {
            const String cipher = String(2 * bytes, u'7');
            try {
                EXPECT_LE(aes.Decrypt(cipher).size(), bytes);
            } catch (const EQuorin& e) {
                EXPECT_EQ(e.Code(), -208);
            }
        }
    }
}

// A text whose "=" follows a character with a low byte of 0 counts no bytes: it
// decrypts to nothing in every mode instead of handing the core a negative length.
TEST(AesText, PaddingAfterAZeroLowByteDecryptsToNothing) {
    TAESEncryption aes;
    aes.SetKey(kKey16);
    aes.SetIV(kIv);
    for (TConvertType format :
         {TConvertType::base64, TConvertType::base64url, TConvertType::base32})
        for (TAESType mode : {TAESType::atECB, TAESType::atCBC, TAESType::atOFB, TAESType::atCTR})
            for (TIVMode ivMode : {TIVMode::rand, TIVMode::userdefined})
                for (const String& text : {String(1, u'\0') + u"=", String(u"\u0100=")}) {
                    aes.SetOutputFormat(format);
                    aes.SetAType(mode);
                    aes.SetIVMode(ivMode);
                    EXPECT_EQ(aes.Decrypt(text), u"");
                }
}

TEST(AesText, MissingOrShortKeyOrIvIsRefusedClearly) {
    TAESEncryption keyless;
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { keyless.Encrypt(u"x"); }),
              u"Keylength incorrect, must be 16");
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { keyless.Decrypt(u"00"); }),
              u"Keylength incorrect, must be 16");

    TAESEncryption shortKey;
    shortKey.SetKey(kKey16);
    shortKey.SetKeyLength(TAESKeyLength::kl256);
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { shortKey.Encrypt(u"x"); }),
              u"Keylength incorrect, must be 32");

    TAESEncryption noIv;
    noIv.SetKey(kKey16);
    noIv.SetIVMode(TIVMode::userdefined);
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { noIv.Encrypt(u"x"); }),
              u"IV length incorrect, must be 16");
    noIv.SetAType(TAESType::atECB);
    EXPECT_NO_THROW(noIv.Encrypt(u"x"));

    // A longer key (written under a longer key length) uses its first bytes.
    TAESEncryption longKey;
    longKey.SetKeyLength(TAESKeyLength::kl256);
    longKey.SetKey(kKey32);
    longKey.SetKeyLength(TAESKeyLength::kl128);
    longKey.SetAType(TAESType::atECB);
    TAESEncryption exact;
    exact.SetKey(kKey32.substr(0, 16));
    exact.SetAType(TAESType::atECB);
    EXPECT_EQ(longKey.Encrypt(u"abc"), exact.Encrypt(u"abc"));
}

TEST(AesText, KeyLengthsGiveDifferentCiphertexts) {
    std::set<String> seen;
    for (auto [length, key] :
         {std::pair{TAESKeyLength::kl128, kKey16}, std::pair{TAESKeyLength::kl192, kKey24},
          std::pair{TAESKeyLength::kl256, kKey32}}) {
        TAESEncryption aes(length, key, TAESType::atECB, TPaddingMode::PKCS7, TConvertType::hexa,
                           TUnicode::yesUni);
        const String cipher = aes.Encrypt(u"same");
        seen.insert(cipher);
        EXPECT_EQ(aes.Decrypt(cipher), u"same");
    }
    EXPECT_EQ(seen.size(), 3u);
}

}  // namespace
