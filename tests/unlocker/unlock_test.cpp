#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "builder/OrvCofrex.h"
#include "pe/resource_editor.h"
#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/Resources.h"
#include "rtl/TextFile.h"
#include "tests/builder/support.h"
#include "ui/headless/Driver.h"
#include "unlocker/MainFormUnlock.h"

namespace ui::headless {
void PrintTo(const MessageBoxShown& box, std::ostream* out) {
    *out << "{" << rtl::Utf8Encode(box.Caption) << ", " << rtl::Utf8Encode(box.Text) << ", "
         << (box.Icon == TMsgIcon::stop ? "stop" : "none") << "}";
}
}  // namespace ui::headless

namespace {

using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::WriteAll;
using rtl::String;
using ui::headless::MessageBoxShown;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr char16_t kPassword[] = u"Correct Horse";

// A package made by the builder, unlocked by Form2 on the headless backend from the
// folder "here", with the scratch folder as the temporary folder.
class Unlock : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        fs::create_directories(fs::path(Path(u"here")));
        fs::create_directories(fs::path(Path(u"appdata")));
        content_ = Pattern(400'017, 7);
        WriteAll(Path(u"Q3 report.xlsx"), content_);
        MakePackage(Path(u"report_encrypted.exe"));
        previousDirectory_ = fs::current_path();
        fs::current_path(fs::path(Path(u"here")));
    }
    void TearDown() override {
        fs::current_path(previousDirectory_);
        form_ = nullptr;
        ui::headless::Reset();
        platform::SetRunningProgramResources(nullptr);
        ScratchFolder::TearDown();
    }

    void MakePackage(const String& package) {
        platform::MemoryResources locker;
        locker.Add(u"UNCOFREX", ReadAll(builder_test::FixtureExe()));
        platform::SetRunningProgramResources(&locker);
        TCofrex(Path(u"appdata")).Execute(Path(u"Q3 report.xlsx"), kPassword, package);
        platform::SetRunningProgramResources(nullptr);
        const Bytes image = ReadAll(package);
        const pe::ResourceEditor editor(image);
        for (const char16_t* name : {u"ENCRYPTEDFILE", u"SALT", u"FILENAME", u"HASH"}) {
            const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
            ASSERT_NE(data, nullptr);
            resources_.Add(name, Bytes(data->bytes.begin(), data->bytes.end()));
        }
    }
    // Starts the unlocker as its entry point does, with `resources` as its own.
    void Start(const platform::ProgramResources& resources) {
        platform::SetRunningProgramResources(&resources);
        ui::headless::Reset();
        ui::Application().Initialize();
        ui::Application().SetTitle(ui::TitleFromFileName(u"report_encrypted.exe"));
        ui::Application().SetMainFormOnTaskbar(true);
        ui::Application().CreateForm(form_);
        ui::Application().Run();
    }
    void Attempt(const String& password, bool openAfterwards = false) {
        ui::headless::Type(*form_->Edit1, password);
        if (openAfterwards) ui::headless::Click(*form_->CheckBox1);
        ui::headless::Click(*form_->SpeedButton1);
    }
    void SetFileName(const String& name) {
        const std::string line = rtl::SaveOneLineText(name, platform::AnsiCodePage());
        resources_.Add(u"FILENAME", Bytes(line.begin(), line.end()));
    }
    Bytes Resource(const char16_t* name) {
        std::span<const uint8_t> bytes;
        EXPECT_TRUE(resources_.Find(name, bytes));
        return Bytes(bytes.begin(), bytes.end());
    }
    static std::vector<String> FilesIn(const String& folder) {
        std::vector<String> names;
        for (const auto& entry : fs::directory_iterator(fs::path(folder)))
            names.push_back(entry.path().filename().u16string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<String> FilesHere() const { return FilesIn(Path(u"here")); }
    // Whatever the unlocker may have left in the temporary folder.
    std::vector<String> TempLeftovers() const {
        std::vector<String> left;
        for (const String& name : FilesIn(folder_))
            if (name.starts_with(u"temp")) left.push_back(name);
        return left;
    }
    bool Ended() const { return ui::Application().Terminated(); }
    bool WindowOpen() const { return !Ended() && ui::headless::IsShown(*form_); }
    std::vector<MessageBoxShown> Boxes() const { return ui::headless::MessageBoxes(); }
    static MessageBoxShown ErrorBox(const String& text) {
        return {u"Report_encrypted", text, ui::TMsgIcon::stop};
    }

    Bytes content_;
    platform::MemoryResources resources_;
    TForm2* form_ = nullptr;
    fs::path previousDirectory_;
};

TEST_F(Unlock, RightPasswordWritesTheFileUnderItsStoredNameAndEnds) {
    Start(resources_);
    Attempt(kPassword);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(FilesHere(), std::vector<String>{u"Q3 report.xlsx"});
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
    EXPECT_TRUE(TempLeftovers().empty());
    EXPECT_TRUE(ui::headless::ShellOpenRequests().empty());
    EXPECT_TRUE(Ended());
}

TEST_F(Unlock, ThePackageFileItselfServesAsTheProgramResources) {
    platform::PeFileResources own(Path(u"report_encrypted.exe"));
    Start(own);
    Attempt(kPassword);
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
    EXPECT_TRUE(Ended());
}

TEST_F(Unlock, ProgressRunsFromZeroToOneHundredOnTheFirstAttempt) {
    Start(resources_);
    Attempt(kPassword);
    const std::vector<int>& shown = ui::headless::PositionsShown(*form_->ProgressBar1);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), 0);
    EXPECT_EQ(shown.back(), 100);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
}

TEST_F(Unlock, TickedCheckBoxHandsTheBareNameToTheShellWithOpen) {
    Start(resources_);
    Attempt(kPassword, true);
    EXPECT_EQ(ui::headless::ShellOpenRequests(), std::vector<String>{u"Q3 report.xlsx"});
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
    EXPECT_TRUE(TempLeftovers().empty());
    EXPECT_TRUE(Ended());
}

TEST_F(Unlock, WrongPasswordsShowBadPasswordWriteNothingAndEnd) {
    for (const String password : {u"wrong", u"correct horse", u"CORRECT HORSE", u""}) {
        SCOPED_TRACE(rtl::Utf8Encode(password));
        Start(resources_);
        Attempt(password);
        const std::vector<MessageBoxShown> expected = {
            {u"Report_encrypted", u"Bad password", ui::TMsgIcon::none}};
        EXPECT_EQ(Boxes(), expected);
        EXPECT_EQ(form_->Edit1->Text(), u"");
        EXPECT_TRUE(FilesHere().empty());
        EXPECT_TRUE(TempLeftovers().empty());
        EXPECT_TRUE(Ended());
    }
}

TEST_F(Unlock, BareUnlockerReportsTheMissingSaltAndStaysOpen) {
    const platform::MemoryResources none;
    Start(none);
    Attempt(kPassword);
    EXPECT_EQ(Boxes(), std::vector{ErrorBox(u"Ressource SALT non trouv\u00e9e.")});
    EXPECT_TRUE(WindowOpen());
    EXPECT_EQ(form_->Edit1->Text(), kPassword);
    EXPECT_TRUE(FilesHere().empty());
}

TEST_F(Unlock, SecondUnlockReplacesTheFileTheFirstOneWrote) {
    WriteAll(u"Q3 report.xlsx", Pattern(10, 1));
    Start(resources_);
    Attempt(kPassword);
    EXPECT_EQ(FilesHere(), std::vector<String>{u"Q3 report.xlsx"});
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
}

TEST_F(Unlock, TakenTempNameIsLeftAloneAndAFreeOneUsed) {
    WriteAll(Path(u"temp.txt"), Pattern(33, 3));
    Start(resources_);
    Attempt(kPassword);
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
    EXPECT_EQ(ReadAll(Path(u"temp.txt")), Pattern(33, 3));
    EXPECT_EQ(TempLeftovers(), std::vector<String>{u"temp.txt"});
}

// A package opened where it was saved by a mail program runs in the temporary folder,
// where the unlocker keeps its encrypted copy under the first free "temp" name.
TEST_F(Unlock, AFileNamedLikeTheTemporaryCopyIsKeptWhenTheTemporaryFolderIsCurrent) {
    fs::current_path(fs::path(folder_));
    for (const String name : {u"temp.txt", u"temp (2).txt"}) {
        SCOPED_TRACE(rtl::Utf8Encode(name));
        if (name == u"temp (2).txt") WriteAll(Path(u"temp.txt"), Pattern(33, 3));
        SetFileName(name);
        Start(resources_);
        Attempt(kPassword);
        EXPECT_TRUE(Boxes().empty());
        ASSERT_TRUE(platform::FileExists(Path(name)));
        EXPECT_EQ(ReadAll(Path(name)), content_);
        platform::RemoveFile(Path(name));
    }
    EXPECT_EQ(ReadAll(Path(u"temp.txt")), Pattern(33, 3));
    EXPECT_EQ(TempLeftovers(), std::vector<String>{u"temp.txt"});
}

// The padding byte altered (through the block before it, which CBC XORs into it: any
// value from 1 to 16 turns into one above 16, so the padding check fails every time,
// once the data has been decrypted and written). The shortened data is refused before
// anything is written.
TEST_F(Unlock, DamagedDataKeepsAnExistingFileAndLeavesNothingBehind) {
    Bytes badPadding = Resource(u"ENCRYPTEDFILE");
    badPadding[badPadding.size() - 17] ^= 0x55;
    Bytes shortened = Resource(u"ENCRYPTEDFILE");
    shortened.pop_back();
    for (const Bytes& damaged : {badPadding, shortened}) {
        WriteAll(u"Q3 report.xlsx", Pattern(10, 1));
        resources_.Add(u"ENCRYPTEDFILE", damaged);
        Start(resources_);
        Attempt(kPassword);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].Icon, ui::TMsgIcon::stop);
        EXPECT_TRUE(Boxes()[0].Text.starts_with(u"error : ")) << rtl::Utf8Encode(Boxes()[0].Text);
        EXPECT_EQ(FilesHere(), std::vector<String>{u"Q3 report.xlsx"});
        EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), Pattern(10, 1));
        EXPECT_TRUE(TempLeftovers().empty());
        EXPECT_TRUE(WindowOpen());
    }
}

TEST_F(Unlock, FileNamesThatAreNotBareAreRefusedBeforeAnythingIsWritten) {
    for (const String name : {u"../escape.txt",
                              u"..\\escape.txt",
                              u"sub/inner.txt",
                              u"/etc/passwd",
                              u"C:evil.txt",
                              u"C:\\Windows\\evil.dll",
                              u".",
                              u"..",
                              u"a?b.txt",
                              u"a*b",
                              u"a<b>",
                              u"pipe|d",
                              u"quote\".txt",
                              u"tab\there",
                              u"CON",
                              u"nul.txt",
                              u"Com1",
                              u"LPT9.log",
                              u"trailing.",
                              u"trailing "}) {
        SCOPED_TRACE(rtl::Utf8Encode(name));
        SetFileName(name);
        Start(resources_);
        Attempt(kPassword);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0],
                  ErrorBox(u"This package names its file \"" + name +
                           u"\", which is not a plain file name: nothing was unlocked."));
        EXPECT_TRUE(FilesHere().empty());
        EXPECT_TRUE(TempLeftovers().empty());
        EXPECT_FALSE(fs::exists(fs::path(Path(u"escape.txt"))));
        EXPECT_TRUE(WindowOpen());
    }
}

TEST_F(Unlock, AcceptedNamesIncludeDotsSpacesAndNonAsciiLetters) {
    for (const String name :
         {u"archive.tar.gz", u".profile", u"Caf\u00e9 menu.pdf", u"CONFIG.SYS"}) {
        SCOPED_TRACE(rtl::Utf8Encode(name));
        SetFileName(name);
        Start(resources_);
        Attempt(kPassword);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(ReadAll(name), content_);
        EXPECT_TRUE(Ended());
    }
}

#ifndef _WIN32
// A current directory that no longer exists cannot be written, whoever runs the test.
TEST_F(Unlock, UnwritableCurrentDirectoryReportsUnableToCreateAndCleansTheTempFile) {
    fs::create_directories("gone");
    fs::current_path("gone");
    fs::remove(fs::path(Path(u"here")) / "gone");
    Start(resources_);
    Attempt(kPassword);
    EXPECT_EQ(Boxes(), std::vector{ErrorBox(u"Unable to create the file.")});
    EXPECT_TRUE(TempLeftovers().empty());
    EXPECT_TRUE(WindowOpen());
}
#endif

TEST_F(Unlock, ErrorsLeaveTheWindowUsableForAnotherAttempt) {
    resources_.Add(u"FILENAME", {});
    Start(resources_);
    Attempt(kPassword, true);
    EXPECT_EQ(Boxes(), std::vector{ErrorBox(u"Index de liste hors limites (0)")});
    EXPECT_TRUE(form_->CheckBox1->Checked());
    SetFileName(u"Q3 report.xlsx");
    ui::headless::Click(*form_->SpeedButton1);
    EXPECT_EQ(ReadAll(u"Q3 report.xlsx"), content_);
    EXPECT_TRUE(Ended());
}

}  // namespace
