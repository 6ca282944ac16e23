#include "rtl/TextFile.h"

#include <gtest/gtest.h>

#include "rtl/CodePage.h"
#include "rtl/Exception.h"

namespace {

using rtl::String;

struct SaveRow {
    const char* what;
    String line;
    uint32_t codePage;
    std::string bytes;
};

class SaveOneLineText : public testing::TestWithParam<SaveRow> {};

TEST_P(SaveOneLineText, WritesTheExactBytesAndReadsBack) {
    const SaveRow& row = GetParam();
    EXPECT_EQ(rtl::SaveOneLineText(row.line, row.codePage), row.bytes);
    EXPECT_EQ(rtl::LoadFirstLine(row.bytes, row.codePage), row.line);
}

const std::string kSalt(64, 'A');

INSTANTIATE_TEST_SUITE_P(
    Rows, SaveOneLineText,
    testing::Values(
        SaveRow{"salt is 66 bytes", String(64, u'A'), 1252, kSalt + "\r\n"},
        SaveRow{"empty value is CR LF", u"", 1252, "\r\n"},
        SaveRow{"Western name", u"Q3 r\u00E9sum\u00E9.xlsx", 1252, "Q3 r\xE9sum\xE9.xlsx\r\n"},
        SaveRow{"euro sign is 0x80", u"\u20AC.txt", 1252, "\x80.txt\r\n"},
        SaveRow{"UTF-8 code page has a BOM", u"\u00E9t\u00E9", rtl::kCodePageUtf8,
                "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\n"},
        SaveRow{"unrepresentable name falls back to UTF-8", u"\u041E\u0442\u0447\u0451\u0442.docx",
                1252, "\xEF\xBB\xBF\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82.docx\r\n"},
        // Code page bytes that a reader would take for a byte-order mark.
        SaveRow{"line that begins like a UTF-16LE mark", u"\u00FF\u00FEx.txt", 1252,
                "\xEF\xBB\xBF\xC3\xBF\xC3\xBEx.txt\r\n"},
        SaveRow{"line that begins like a UTF-16BE mark", u"\u00FE\u00FF", 1252,
                "\xEF\xBB\xBF\xC3\xBE\xC3\xBF\r\n"},
        SaveRow{"line that begins like a UTF-8 mark", u"\u00EF\u00BB\u00BF", 1252,
                "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBF\r\n"},
        SaveRow{"mark-like bytes after the start stay", u"a\u00FF\u00FE", 1252, "a\xFF\xFE\r\n"}),
    [](const testing::TestParamInfo<SaveRow>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(LoadFirstLine, TakesTheFirstLineAtAnyBreak) {
    struct Row {
        std::string bytes;
        String line;
    } rows[] = {
        {"abc\r\ndef\r\n", u"abc"},
        {"abc\rdef", u"abc"},
        {"abc\ndef", u"abc"},
        {"abc", u"abc"},
        {"\r\nabc", u""},
        {std::string("ab\0cd\r\n", 6), u"ab"},
        {std::string("\xFF\xFE"
                     "a\0b\0\r\0\n\0",
                     10),
         u"ab"},
        {std::string("\xFE\xFF\0a\0b", 6), u"ab"},
        {"\xEF\xBB\xBF\xE2\x82\xAC", u"\u20AC"},
    };
    for (const Row& row : rows) EXPECT_EQ(rtl::LoadFirstLine(row.bytes, 1252), row.line);
}

TEST(LoadFirstLine, DecodesInTheReadersCodePage) {
    const std::string written = rtl::SaveOneLineText(u"\u00E9.txt", 1252);
    EXPECT_EQ(rtl::LoadFirstLine(written, rtl::kCodePageUtf8), u"\uFFFD.txt");
}

TEST(LoadFirstLine, NoLineIsAListIndexError) {
    for (std::string bytes :
         {std::string(), std::string("\0abc", 4), std::string("\xEF\xBB\xBF")}) {
        try {
            rtl::LoadFirstLine(bytes, 1252);
            FAIL() << "no exception";
        } catch (const rtl::EListError& e) {
            EXPECT_EQ(e.Message(), u"Index de liste hors limites (0)");
        }
    }
}

}  // namespace
