#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

namespace {

using rtl::String;

using TempFolder = test_support::ScratchFolder;

TEST_F(TempFolder, FileStreamWritesReadsSeeksAndMeasures) {
    {
        rtl::TFileStream out(Path(u"f\u00E9.bin"), rtl::fmCreate);
        out.WriteBuffer("hello world", 11);
        EXPECT_EQ(out.Size(), 11);
        out.SetSize(5);
        EXPECT_EQ(out.Size(), 5);
    }
    rtl::TFileStream in(Path(u"f\u00E9.bin"), rtl::fmOpenRead | rtl::fmShareDenyWrite);
    char buffer[16] = {};
    in.SetPosition(1);
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "ello");
    EXPECT_EQ(in.Read(buffer, 4), 0);
    EXPECT_THROW(in.ReadBuffer(buffer, 1), rtl::EReadError);
}

TEST_F(TempFolder, OpenErrorNamesTheFullPathAndTheReason) {
    try {
        rtl::TFileStream in(Path(u"missing.txt"), rtl::fmOpenRead);
        FAIL() << "no exception";
    } catch (const rtl::EFOpenError& e) {
        const String prefix = u"Impossible d'ouvrir le fichier \"" + Path(u"missing.txt") + u"\". ";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
        EXPECT_GT(e.Message().size(), prefix.size());  // the system's reason follows
    }
}

TEST_F(TempFolder, CreateErrorNamesThePath) {
    try {
        rtl::TFileStream out(Path(u"no-folder") + rtl::PathDelim + u"x.txt", rtl::fmCreate);
        FAIL() << "no exception";
    } catch (const rtl::EFCreateError& e) {
        const String prefix = u"Impossible de créer le fichier \"" + Path(u"no-folder");
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    }
}

TEST_F(TempFolder, ExclusiveOpenRefusesASecondExclusiveOpener) {
    { rtl::TFileStream(Path(u"x"), rtl::fmCreate).WriteBuffer("x", 1); }
    rtl::TFileStream first(Path(u"x"), rtl::fmOpenRead | rtl::fmShareExclusive);
    EXPECT_THROW(rtl::TFileStream(Path(u"x"), rtl::fmOpenRead | rtl::fmShareExclusive),
                 rtl::EFOpenError);
}

TEST_F(TempFolder, RenameNeverReplacesAndCopyDoes) {
    { rtl::TFileStream(Path(u"a"), rtl::fmCreate).WriteBuffer("a", 1); }
    { rtl::TFileStream(Path(u"b"), rtl::fmCreate).WriteBuffer("bb", 2); }
    EXPECT_FALSE(platform::RenameFile(Path(u"a"), Path(u"b")));
    EXPECT_EQ(rtl::TFileStream(Path(u"b"), rtl::fmOpenRead).Size(), 2);
    EXPECT_TRUE(platform::CopyFileOver(Path(u"a"), Path(u"b")));
    EXPECT_EQ(rtl::TFileStream(Path(u"b"), rtl::fmOpenRead).Size(), 1);
    EXPECT_TRUE(platform::RenameFile(Path(u"a"), Path(u"c")));
    EXPECT_FALSE(platform::FileExists(Path(u"a")));
    EXPECT_TRUE(platform::FileExists(Path(u"c")));
    EXPECT_TRUE(platform::RemoveFile(Path(u"c")));
    EXPECT_FALSE(platform::RemoveFile(Path(u"c")));
}

TEST(TMemoryStream, ReadsWritesAndGrows) {
    rtl::TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    stream.SetPosition(4);
    stream.WriteBuffer("XYZ", 3);
    EXPECT_EQ(stream.Size(), 7);
    stream.SetPosition(0);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 7);
    EXPECT_EQ(std::string(buffer, 7), "abcdXYZ");
    rtl::TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(stream, 0), 7);
    EXPECT_EQ(copy.Bytes(), stream.Bytes());
}

TEST(TMemoryStream, LendsItsBytesForReadingAndWriting) {
    rtl::TMemoryStream stream(std::vector<uint8_t>{1, 2, 3, 4, 5});
    stream.SetPosition(1);
    const std::span<const uint8_t> read = stream.ReadView(3);
    EXPECT_EQ(std::vector<uint8_t>(read.begin(), read.end()), (std::vector<uint8_t>{2, 3, 4}));
    EXPECT_EQ(stream.ReadView(10).size(), 1u);  // only what is left
    EXPECT_EQ(stream.Position(), 5);
    stream.SetPosition(4);
    const std::span<uint8_t> write = stream.WriteView(3);  // grows like a write
    ASSERT_EQ(write.size(), 3u);
    std::fill(write.begin(), write.end(), uint8_t{9});
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4, 9, 9, 9}));
    EXPECT_EQ(stream.Position(), 7);
}

TEST(RuntimeMessages, AreTheRuntimesOwnFrenchTexts) {
    EXPECT_EQ(rtl::EResNotFound(u"SALT").Message(), u"Ressource SALT non trouvée");
    EXPECT_EQ(rtl::EListError(0).Message(), u"Index de liste hors limites (0)");
    EXPECT_EQ(rtl::EConvertError(u"$4G").Message(), u"'$4G' n'est pas une valeur entière correcte");
    EXPECT_EQ(rtl::EFCreateError(u"C:\\x.exe", u"Accès refusé").Message(),
              u"Impossible de créer le fichier \"C:\\x.exe\". Accès refusé");
}

TEST(Paths, SplitWithThePlatformsDelimiters) {
    const String d(1, rtl::PathDelim);
    const String path = d + u"home" + d + u"me" + d + u"Q3 report.tar.xlsx";
    EXPECT_EQ(rtl::ExtractFileName(path), u"Q3 report.tar.xlsx");
    EXPECT_EQ(rtl::ExtractFilePath(path), d + u"home" + d + u"me" + d);
    EXPECT_EQ(rtl::ExtractFileExt(path), u".xlsx");
    EXPECT_EQ(rtl::ChangeFileExt(path, u".exe"),
              d + u"home" + d + u"me" + d + u"Q3 report.tar.exe");
    EXPECT_EQ(rtl::ExtractFileExt(u"dir.d" + d + u"noext"), u"");
    EXPECT_EQ(rtl::ChangeFileExt(u"dir.d" + d + u"noext", u".exe"), u"dir.d" + d + u"noext.exe");
    EXPECT_EQ(rtl::ExtractFilePath(u"name.txt"), u"");
    EXPECT_EQ(rtl::IncludeTrailingPathDelimiter(u"a"), u"a" + d);
    EXPECT_EQ(rtl::IncludeTrailingPathDelimiter(u"a" + d), u"a" + d);
}

// A name that is only an extension loses all of it: the locker proposes
// "_encrypted.exe" for ".profile".
TEST(Paths, NameThatIsOnlyAnExtension) {
    const String d(1, rtl::PathDelim);
    for (const String& folder : {String(), u"home" + d, u"a.b" + d}) {
        EXPECT_EQ(rtl::ExtractFileExt(folder + u".profile"), u".profile");
        EXPECT_EQ(rtl::ChangeFileExt(folder + u".profile", u""), folder);
        EXPECT_EQ(rtl::ChangeFileExt(folder + u".profile", u".exe"), folder + u".exe");
        EXPECT_EQ(rtl::ExtractFileName(folder + u".profile"), u".profile");
    }
}

TEST(Paths, ExpandFileNameIsAbsoluteAndResolvesDots) {
    const String d(1, rtl::PathDelim);
    const String full = rtl::ExpandFileName(u"a" + d + u"." + d + u"b" + d + u".." + d + u"c.txt");
    EXPECT_EQ(rtl::ExtractFileName(full), u"c.txt");
    EXPECT_EQ(rtl::ExtractFileName(
                  rtl::ExtractFilePath(full).substr(0, rtl::ExtractFilePath(full).size() - 1)),
              u"a");
    EXPECT_EQ(rtl::ExpandFileName(full), full);
}

TEST(Folders, TempFolderEndsWithADelimiter) {
    const String folder = platform::TempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), rtl::PathDelim);
}

}  // namespace
