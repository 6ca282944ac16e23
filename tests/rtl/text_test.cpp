#include <gtest/gtest.h>

#include "rtl/CodePage.h"
#include "rtl/String.h"

namespace {

using rtl::String;

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    const String text = rtl::Cp1252Decode(all);
    bool lossless = false;
    EXPECT_EQ(rtl::Cp1252Encode(text, &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, KnownCharacters) {
    struct Row {
        uint8_t byte;
        char16_t character;
    } rows[] = {{0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8D, u'\u008D'},
                {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x9D, u'\u009D'}, {0x9F, u'\u0178'},
                {0x99, u'\u2122'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'}};
    for (const Row& row : rows) {
        EXPECT_EQ(rtl::Cp1252ToChar(row.byte), row.character);
        EXPECT_EQ(rtl::Cp1252Encode(String(1, row.character)),
                  std::string(1, static_cast<char>(row.byte)));
    }
}

TEST(Cp1252, MissingCharactersBecomeTheDefaultCharacter) {
    bool lossless = true;
    EXPECT_EQ(rtl::Cp1252Encode(u"\u041E\u0442\u0447\u0451\u0442.docx", &lossless), "?????.docx");
    EXPECT_FALSE(lossless);
}

TEST(CodePages, Utf8AndLossCheck) {
    std::string bytes;
    bool lossless = false;
    ASSERT_TRUE(rtl::EncodeCodePage(rtl::kCodePageUtf8, u"\u00E9\u20AC", bytes, &lossless));
    EXPECT_EQ(bytes, "\xC3\xA9\xE2\x82\xAC");
    EXPECT_TRUE(lossless);
    String text;
    ASSERT_TRUE(rtl::DecodeCodePage(rtl::kCodePage1252, "\x80", text));
    EXPECT_EQ(text, u"\u20AC");
}

TEST(Utf8, EncodesAndDecodes) {
    struct Row {
        String text;
        std::string utf8;
    } rows[] = {
        {u"", ""},
        {u"abc", "abc"},
        {u"\u00E9", "\xC3\xA9"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"\U0001F512", "\xF0\x9F\x94\x92"},
        {u"\uFFFD", "\xEF\xBF\xBD"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(rtl::Utf8Encode(row.text), row.utf8);
        EXPECT_EQ(rtl::Utf8Decode(row.utf8), row.text);
    }
}

TEST(Utf8, LoneSurrogatesAndIllFormedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(rtl::Utf8Encode(String(1, u'\xD800') + u"a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(rtl::Utf8Encode(u"a" + String(1, u'\xDC00')), "a\xEF\xBF\xBD");
    struct Row {
        std::string bytes;
        String text;
    } rows[] = {
        {"\xE9", u"\uFFFD"},                                // Latin-1 byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xE2\x82", u"\uFFFD\uFFFD"},                      // truncated
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
    };
    for (const Row& row : rows) EXPECT_EQ(rtl::Utf8Decode(row.bytes), row.text);
}

}  // namespace
