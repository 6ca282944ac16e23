#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "crypto/MiscObj.h"
#include "rtl/Exception.h"

namespace {

using rtl::String;
using T = TConvertType;

TBytes Bytes(std::initializer_list<uint8_t> list) {
    return TBytes(list);
}

// The decoded bytes of FormatToChar without its trailing buffer byte.
TBytes Decoded(TConvert& convert, const String& text) {
    TBytes buffer = convert.FormatToChar(text);
    buffer.resize(static_cast<size_t>(convert.CharLength(text)));
    return buffer;
}

TEST(TConvert, DefaultsToHexa) {
    EXPECT_EQ(TConvert().AType(), T::hexa);
    EXPECT_EQ(TConvert(nullptr).AType(), T::hexa);
    EXPECT_EQ(TConvert(T::raw).AType(), T::raw);
}

struct FormatRow {
    T type;
    String text;
};

class CharToFormatOfFF10AB : public testing::TestWithParam<FormatRow> {};

TEST_P(CharToFormatOfFF10AB, EncodesAndDecodesBack) {
    const TBytes data = Bytes({0xFF, 0x10, 0xAB});
    TConvert convert(GetParam().type);
    EXPECT_EQ(convert.CharToFormat(data.data(), 3), GetParam().text);
    EXPECT_EQ(convert.CharToFormat(nullptr, 0), u"");
    EXPECT_EQ(convert.CharLength(GetParam().text), 3);
    EXPECT_EQ(Decoded(convert, GetParam().text), data);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, CharToFormatOfFF10AB,
                         testing::Values(FormatRow{T::hexa, u"FF10AB"},
                                         FormatRow{T::base64, u"/xCr"},
                                         FormatRow{T::base64url, u"_xCr"},
                                         FormatRow{T::base32, u"74IKW==="},
                                         FormatRow{T::raw, u"\u00FF\u0010\u00AB"}));

TEST(TConvert, OutputFormatLength) {
    struct Row {
        T type;
        int32_t n, expected;
    } rows[] = {
        {T::hexa, 0, 1},   {T::base64, 0, 1},  {T::base64url, 0, 1}, {T::base32, 0, 1},
        {T::raw, 0, 1},    {T::hexa, 3, 7},    {T::base64, 3, 5},    {T::base32, 3, 9},
        {T::raw, 3, 4},    {T::base64, 1, 5},  {T::base64, 4, 9},    {T::base64url, 32, 45},
        {T::base32, 5, 9}, {T::base32, 6, 17}, {T::hexa, 32, 65},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TConvert(row.type).OutputFormatLength(row.n), row.expected)
            << static_cast<int>(row.type) << " " << row.n;
}

TEST(TConvert, CharLength) {
    struct Row {
        T type;
        String text;
        int32_t expected;
    } rows[] = {
        {T::base64, u"Zg==", 1},     {T::base64, u"Zm8=", 2},     {T::base64, u"Zm9v", 3},
        {T::base64url, u"Zg==", 1},  {T::base32, u"MZXW6===", 3}, {T::base32, u"MY======", 1},
        {T::base32, u"MZXQ====", 2}, {T::base32, u"MZXW6YQ=", 4}, {T::base32, u"MZXW6YTB", 5},
        {T::hexa, u"abc", 2},        {T::hexa, u"", 0},           {T::base64, u"", 0},
        {T::base32, u"", 0},         {T::raw, u"abc", 3},         {T::raw, u"", 0},
    };
    for (const Row& row : rows) EXPECT_EQ(TConvert(row.type).CharLength(row.text), row.expected);
}

// Encoded lengths are counted in 64 bits; one that a 32-bit count cannot hold is
// refused before any buffer is made, and so is a negative byte count.
TEST(TConvert, LengthsOutsideThirtyTwoBitsAreRefused) {
    struct Row {
        T type;
        int32_t largest, expected;
    } rows[] = {
        {T::hexa, 1'073'741'823, INT32_MAX},          {T::base64, 1'610'612'733, 2'147'483'645},
        {T::base64url, 1'610'612'733, 2'147'483'645}, {T::base32, 1'342'177'275, 2'147'483'641},
        {T::raw, INT32_MAX - 1, INT32_MAX},
    };
    const uint8_t byte = 0;
    for (const Row& row : rows) {
        TConvert convert(row.type);
        EXPECT_EQ(convert.OutputFormatLength(row.largest), row.expected);
        EXPECT_THROW(convert.OutputFormatLength(row.largest + 1), EQuorin);
        EXPECT_THROW(convert.OutputFormatLength(-1), EQuorin);
        EXPECT_THROW(convert.CharToFormat(&byte, -1), EQuorin);
        if (row.type != T::raw) {
            EXPECT_THROW(convert.CharToFormat(&byte, row.largest + 1), EQuorin);
        }
    }
}

// A text whose padding outweighs its groups (a lone "=", or a character whose low
// byte is 0 and ends the decoder's view before the "=") decodes to no bytes,
// never to a negative count that later sizes a buffer.
TEST(TConvert, CharLengthIsNeverNegative) {
    const String zeroThenPad = String(1, u'\0') + u"=";
    struct Row {
        T type;
        String text;
    } rows[] = {
        {T::base64, u"="},  {T::base64, zeroThenPad}, {T::base64url, u"\u0100="},
        {T::base32, u"="},  {T::base32, zeroThenPad}, {T::base32, u"\u0100="},
        {T::base32, u"A="}, {T::base64, u"=="},
    };
    for (const Row& row : rows) EXPECT_EQ(TConvert(row.type).CharLength(row.text), 0);

    TConvert convert;
    for (const String& text : {zeroThenPad, String(u"\u0100=")}) {
        EXPECT_EQ(convert.Base64ToHexa(text), u"");
        EXPECT_EQ(convert.Base64urlToBase32(text), u"");
        EXPECT_EQ(convert.Base32ToBase64(text), u"");
    }
    EXPECT_THROW(convert.Base64ToHexa(u"="), EQuorin);  // not a whole group
}

TEST(TConvert, FormatToCharOfOddHexa) {
    TConvert convert;
    EXPECT_EQ(Decoded(convert, u"abc"), Bytes({0xAB, 0xC0}));
}

TEST(TConvert, FormatToCharReadsLowBytesUpToTheFirstZero) {
    TConvert convert;
    // U+0141 has low byte 0x41 ("A"); U+0100 has low byte 0 and ends the text.
    EXPECT_EQ(Decoded(convert, u"\u0141B"), Bytes({0xAB}));
    EXPECT_EQ(Decoded(convert, u"AB\u0100CD"), Bytes({0xAB, 0x00, 0x00}));
}

TEST(TConvert, FormatToCharRawKeepsLowBytes) {
    TConvert convert(T::raw);
    const TBytes buffer = convert.FormatToChar(u"a\u20AC");
    EXPECT_EQ(buffer, Bytes({'a', 0xAC, 0}));
}

TEST(TConvert, StringToFormatUsesRuleS) {
    TConvert convert;
    EXPECT_EQ(convert.StringToFormat(u"A\u00E9"), u"41E9");
    EXPECT_EQ(convert.StringToFormat(u"\u20AC"), u"80");  // euro sign in Windows-1252
    EXPECT_EQ(convert.StringToFormat(u"\u0416"), u"3F");  // not in 1252: the default character
    EXPECT_EQ(convert.StringToFormat(u""), u"");
}

TEST(TConvert, RulesSAndPRoundTripEveryByte) {
    TBytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
    TConvert raw(T::raw);
    const String text = raw.CharToFormat(all.data(), 256);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[0x80], u'\u20AC');
    EXPECT_EQ(text[0x81], u'\u0081');
    EXPECT_EQ(raw.StringToByteArray(text), all);
    // Rule L does not: the euro sign comes back as its low byte.
    EXPECT_EQ(raw.FormatToChar(text)[0x80], 0xAC);
}

TEST(TConvert, StringToBufferByUnicodeSetting) {
    TConvert convert;
    int32_t length = -1;
    EXPECT_EQ(convert.StringToBuffer(u"\u00E9", TUnicode::yesUni, length), Bytes({0xC3, 0xA9, 0}));
    EXPECT_EQ(length, 2);
    EXPECT_EQ(convert.StringToBuffer(u"\u00E9", TUnicode::noUni, length), Bytes({0xE9, 0}));
    EXPECT_EQ(length, 1);
    EXPECT_EQ(convert.StringToBufferA(u"\u20AC", TUnicode::yesUni), Bytes({0xE2, 0x82, 0xAC, 0}));
    EXPECT_EQ(convert.StringToBufferA(u"\u20AC", TUnicode::noUni), Bytes({0x80, 0}));
    EXPECT_EQ(convert.PAnsiCharFromUnicodeLength(u"a\u0416\u20AC"), 6);
}

TEST(TConvert, FormatToString) {
    TConvert hexa;
    EXPECT_EQ(hexa.FormatToString(u"414"), u"A");
    EXPECT_EQ(hexa.FormatToString(u"41e9"), u"A\u00E9");
    EXPECT_THROW(hexa.FormatToString(u"4G"), rtl::EConvertError);
    TConvert raw(T::raw);
    EXPECT_EQ(raw.FormatToString(u"any \u0416"), u"any \u0416");
    TConvert base64(T::base64);
    EXPECT_EQ(base64.FormatToString(u"Zm9vYmFy"), u"foobar");
    EXPECT_EQ(base64.AType(), T::base64);
}

TEST(TConvert, UnicodeRoundTripInEveryFormat) {
    const String text = u"Mot de passe \u00E9t\u00E9 \u0416 \U0001F512";
    for (T type : {T::hexa, T::base64, T::base64url, T::base32}) {
        TConvert convert(type);
        EXPECT_EQ(convert.FormatToUnicodeString(convert.UnicodeStringToFormat(text)), text);
    }
}

TEST(TConvert, StringToUnicodeDecodesRuleSBytes) {
    TConvert convert;
    EXPECT_EQ(convert.StringToUnicode(u"\u00C3\u00A9"), u"\u00E9");
    EXPECT_EQ(convert.StringToUnicode(u"\u00E9"), u"\uFFFD");  // ill-formed: replaced
}

TEST(TConvert, ConversionsBetweenFormats) {
    TConvert convert(T::raw);
    EXPECT_EQ(convert.Base64ToHexa(u"Zm9vYmFy"), u"666F6F626172");
    EXPECT_EQ(convert.HexaToBase32(u"666F6F626172"), u"MZXW6YTBOI======");
    EXPECT_EQ(convert.HexaToBase64(u"FF10AB"), u"/xCr");
    EXPECT_EQ(convert.HexaToBase64url(u"FF10AB"), u"_xCr");
    EXPECT_EQ(convert.Base64ToBase64url(u"+vv8/f7/+//+"), u"-vv8_f7_-__-");
    EXPECT_EQ(convert.Base64urlToBase64(u"-vv8_f7_-__-"), u"+vv8/f7/+//+");
    EXPECT_EQ(convert.Base64urlToHexa(u"_xCr"), u"FF10AB");
    EXPECT_EQ(convert.Base32ToHexa(u"74IKW==="), u"FF10AB");
    EXPECT_EQ(convert.Base32ToBase64url(u"74IKW==="), u"_xCr");
    EXPECT_EQ(convert.Base64urlToBase32(u"_xCr"), u"74IKW===");
    EXPECT_EQ(convert.Base32ToBase64(u"MZXW6YTBOI======"), u"Zm9vYmFy");
    EXPECT_EQ(convert.Base64ToBase32(u"Zm9vYmFy"), u"MZXW6YTBOI======");
    EXPECT_EQ(convert.AType(), T::raw);
}

TEST(TConvert, FailingConversionRestoresTheFormat) {
    TConvert convert(T::base32);
    try {
        convert.Base64ToHexa(u"Zg");
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -2);
        EXPECT_EQ(e.Message(), u"error : a malloc FAILS!");
    }
    EXPECT_EQ(convert.AType(), T::base32);
}

TEST(TConvert, BadTypeIsReportedWithItsOrdinal) {
    TConvert convert(static_cast<T>(9));
    const uint8_t byte = 1;
    for (auto call : {+[](TConvert&c, const uint8_t*b) { c.CharToFormat(b, 1); },
                      +[](TConvert&c, const uint8_t*) { c.FormatToChar(u"00"); }}) {
        try {
            call(convert, &byte);
            FAIL() << "no exception";
        } catch (const EQuorin& e) {
            EXPECT_EQ(e.Message(), u"Bad Type (9)");
            EXPECT_EQ(e.Code(), 0);
        }
    }
}

TEST(TConvert, RandomSaltIsSixtyFourHexDigitsAndFresh) {
    std::set<String> salts;
    for (int i = 0; i < 2; ++i) {
        TConvert convert;
        const String random = convert.RandomString(32);
        EXPECT_EQ(random.size(), 32u);
        EXPECT_EQ(convert.AType(), T::hexa);
        const String salt = convert.StringToFormat(random);
        ASSERT_EQ(salt.size(), 64u);
        EXPECT_EQ(salt.find_first_not_of(u"0123456789ABCDEF"), String::npos);
        salts.insert(salt);
    }
    EXPECT_EQ(salts.size(), 2u);
}

TEST(TConvert, Base58) {
    TConvert convert;
    EXPECT_EQ(convert.Base58Encode(0), u"1");
    EXPECT_EQ(convert.Base58Encode(57), u"Z");
    EXPECT_EQ(convert.Base58Encode(58), u"21");
    EXPECT_EQ(convert.Base58Decode(u"21"), 58u);
    for (uint64_t value : {0ull, 1ull, 57ull, 58ull, 3363ull, 0xFFFFFFFFull, ~0ull})
        EXPECT_EQ(convert.Base58Decode(convert.Base58Encode(value)), value);
}

TEST(TConvert, TestUnicode) {
    TConvert convert;
    EXPECT_EQ(convert.TestUnicode(u"abc"), 0);
    EXPECT_EQ(convert.TestUnicode(u"a\u00E9"), 0);
    EXPECT_EQ(convert.TestUnicode(u"a\u0416"), 1);
    EXPECT_EQ(convert.TestUnicode(u"a\u00FF"), 0);
    EXPECT_EQ(convert.TestUnicode(u"\u0100a"), 1);
    EXPECT_EQ(convert.TestUnicode(u""), 0);
}

TEST(TConvert, KeyByteOrderReversal) {
    TConvert hexa;
    EXPECT_EQ(hexa.KeyRSAOpenSSLToKeyTRSAEncSign(u"0A0B0C"), u"0C0B0A");
    EXPECT_EQ(hexa.KeyTRSAEncSignToKeyRSAOpenSSL(u"0C0B0A"), u"0A0B0C");
    TConvert base64(T::base64);
    EXPECT_EQ(base64.KeyRSAOpenSSLToKeyTRSAEncSign(u"/xCr"), base64.HexaToBase64(u"AB10FF"));
    EXPECT_EQ(base64.AType(), T::base64);
    TConvert raw(T::raw);
    EXPECT_EQ(raw.KeyRSAOpenSSLToKeyTRSAEncSign(u"abc"), u"");
}

TEST(TConvert, BytesAndStrings) {
    TConvert convert;
    EXPECT_EQ(convert.TBytesToString(Bytes({0x41, 0xE9, 0x80})), u"A\u00E9\u0080");
    EXPECT_EQ(convert.StringToTBytes(u"Ab1"), Bytes({'A', 'b', '1'}));
    try {
        convert.StringToTBytes(u"caf\u00E9");
        FAIL() << "no exception";
    } catch (const EQuorin&) {
        FAIL() << "must be the base exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), u"Misuse of this function: Unicode characters are not accepted!");
    }
}

}  // namespace

namespace {

// A code unit whose low byte is 0 ends what the decoder sees; what it sees can
// decode to more bytes than the whole text's CharLength.
TEST(TConvert, FormatToCharNeverOverrunsOnTextsCutByAZeroLowByte) {
    struct Row {
        T type;
        String text;
        TBytes expected;
    } rows[] = {
        {T::base32, String(u"AAAAAAAA") + u'\u0100' + u"====", TBytes{0, 0}},
        {T::base64, String(u"AAAA") + u'\u0100' + u"==", TBytes{0, 0, 0, 0}},
        {T::base64, u"=", TBytes{}},
        {T::base64, u"==", TBytes{}},
        {T::base32, u"=", TBytes{}},
    };
    for (const Row& row : rows) {
        TConvert convert(row.type);
        TBytes buffer;
        try {
            buffer = convert.FormatToChar(row.text);
        } catch (const EQuorin&) {
            continue;  // refusing is as safe as decoding
        }
        buffer.resize(static_cast<size_t>(std::max(convert.CharLength(row.text), 0)));
        EXPECT_EQ(buffer, row.expected);
    }
}

}  // namespace
