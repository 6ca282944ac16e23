// The lock command: its checks and their messages as the error display shows them,
// the proposed and the final output names, and the hand-off to the real builder with
// its progress and result line.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "crypto/SHA2Hash.h"
#include "pe/resource_editor.h"
#include "platform/CodePage.h"
#include "platform/File.h"
#include "rtl/Path.h"
#include "rtl/TextFile.h"
#include "tests/locker/support.h"

namespace {

using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::WriteAll;
using locker_test::Locker;
using rtl::String;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr char16_t kPassword[] = u"Correct Horse";

class Lock : public Locker {
protected:
    void SetUp() override {
        Locker::SetUp();
        content_ = Pattern(400'017, 3);
        WriteAll(Path(u"report.pdf"), content_);
    }
    // A text resource of the package at `path`.
    static String TextResource(const String& path, const char16_t* name) {
        const Bytes image = ReadAll(path);
        const pe::ResourceEditor editor(image);
        const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
        if (!data) return u"(missing)";
        return rtl::LoadFirstLine(std::string(data->bytes.begin(), data->bytes.end()),
                                  platform::AnsiCodePage());
    }
    const std::vector<int>& Bar() const {
        return ui::headless::PositionsShown(*form_->ProgressBar1);
    }

    Bytes content_;
};

// A test name made of the letters and digits of `text`, everything else as "_".
std::string NameOf(const String& text) {
    std::string name;
    for (char16_t c : text) name += c < 128 && std::isalnum(c) ? static_cast<char>(c) : '_';
    return name;
}

struct Check {
    const char* what;
    bool target;
    String password, confirmation, shown;
};

class Checks : public Lock, public testing::WithParamInterface<Check> {};

// The first failing check is the only one reported; a message ending in a letter gets
// the display's full stop, one ending in "!" does not. Nothing is asked or written.
TEST_P(Checks, FirstFailingCheckIsShownAndNothingHappens) {
    const Check& c = GetParam();
    if (c.target) {
        ui::headless::AnswerNextFileDialog(Path(u"report.pdf"));
        ui::headless::Click(*form_->SpeedButton1);
    }
    ui::headless::Type(*form_->Edit3, c.password);
    ui::headless::Type(*form_->Edit2, c.confirmation);
    const size_t dialogsBefore = ui::headless::FileDialogs().size();
    ui::headless::Click(*form_->SpeedButton2);
    EXPECT_EQ(Boxes(), std::vector{ErrorBox(c.shown)});
    EXPECT_EQ(ui::headless::FileDialogs().size(), dialogsBefore);
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_FALSE(ui::Application().Terminated());
}

INSTANTIATE_TEST_SUITE_P(
    Lock, Checks,
    testing::Values(
        Check{"nothing_filled", false, u"", u"", u"Enter a file to lock."},
        Check{"no_target_but_passwords", false, u"pw", u"pw", u"Enter a file to lock."},
        Check{"only_the_confirmation", true, u"", u"pw", u"Enter a password."},
        Check{"confirmation_empty", true, u"pw", u"", u"The passwords are not identical!"},
        Check{"one_character_differs", true, u"pw1", u"pw2", u"The passwords are not identical!"},
        Check{"letter_case_differs", true, u"Secret", u"secret",
              u"The passwords are not identical!"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Lock, BrowseFillsTheTargetAndCancellingKeepsIt) {
    ui::headless::AnswerNextFileDialog(Path(u"report.pdf"));
    ui::headless::Click(*form_->SpeedButton1);
    EXPECT_EQ(form_->Edit1->Text(), Path(u"report.pdf"));
    ui::headless::AnswerNextFileDialog(std::nullopt);
    ui::headless::Click(*form_->SpeedButton1);
    EXPECT_EQ(form_->Edit1->Text(), Path(u"report.pdf"));
    ASSERT_EQ(ui::headless::FileDialogs().size(), 2u);
    EXPECT_EQ(ui::headless::FileDialogs()[0].Kind, ui::TFileDialogKind::open);
}

struct Proposal {
    String target, proposed;
};

class ProposedName : public Lock, public testing::WithParamInterface<Proposal> {};

// The save dialog offers the target's name without folder and extension; cancelling
// it ends the command silently.
TEST_P(ProposedName, SaveDialogOffersTheTargetsNameAndCancelWritesNothing) {
    fs::create_directories(fs::path(Path(u"my.dir")));
    Fill(Path(GetParam().target), kPassword, kPassword);
    PressLock(std::nullopt);
    ASSERT_EQ(ui::headless::FileDialogs().size(), 2u);
    EXPECT_EQ(ui::headless::FileDialogs()[1].Kind, ui::TFileDialogKind::save);
    EXPECT_EQ(ui::headless::FileDialogs()[1].ProposedName, GetParam().proposed);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_FALSE(fs::exists(fs::path(Path(u"appdata")) / "UnCofrex.exe"));
}

INSTANTIATE_TEST_SUITE_P(Lock, ProposedName,
                         testing::Values(Proposal{u"report.pdf", u"report_encrypted.exe"},
                                         Proposal{u"archive.tar.gz", u"archive.tar_encrypted.exe"},
                                         Proposal{u"README", u"README_encrypted.exe"},
                                         Proposal{u".profile", u"_encrypted.exe"},
                                         Proposal{String(u"my.dir") + rtl::PathDelim + u"notes",
                                                  u"notes_encrypted.exe"}),
                         [](const auto& info) { return NameOf(info.param.target); });

struct Output {
    String chosen, written;
};

class OutputName : public Lock, public testing::WithParamInterface<Output> {};

// Whatever extension the chosen name has, the package is written with ".exe"; a dot in
// a folder name is not an extension.
TEST_P(OutputName, PackageIsWrittenUnderTheChosenNameWithExe) {
    fs::create_directories(fs::path(Path(u"my.dir")));
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    PressLock(Path(GetParam().chosen));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(platform::FileExists(Path(GetParam().written)));
    EXPECT_EQ(form_->Label1->Caption(),
              rtl::ExtractFileName(GetParam().written) + u" has been generated!");
}

INSTANTIATE_TEST_SUITE_P(Lock, OutputName,
                         testing::Values(Output{u"out.bin", u"out.exe"},
                                         Output{u"final", u"final.exe"},
                                         Output{u"my.package", u"my.exe"},
                                         Output{u"x.exe", u"x.exe"},
                                         Output{String(u"my.dir") + rtl::PathDelim + u"file",
                                                String(u"my.dir") + rtl::PathDelim + u"file.exe"}),
                         [](const auto& info) { return NameOf(info.param.chosen); });

// The builder gets the target, the confirmation as password and the output name; the
// package it wrote names the target and checks that password.
TEST_F(Lock, SuccessfulLockWritesThePackageAndReportsIt) {
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    PressLock(Path(u"report_encrypted.exe"));
    ASSERT_TRUE(Boxes().empty()) << rtl::Utf8Encode(Boxes().front().Text);
    EXPECT_EQ(form_->Label1->Caption(), u"report_encrypted.exe has been generated!");
    const String package = Path(u"report_encrypted.exe");
    EXPECT_EQ(TextResource(package, u"FILENAME"), u"report.pdf");
    TSHA2Hash sha2(256, TConvertType::base64, TUnicode::yesUni);
    EXPECT_EQ(TextResource(package, u"HASH"),
              sha2.Hash(kPassword + TextResource(package, u"SALT")));
    EXPECT_EQ(ReadAll(Path(u"report.pdf")), content_);
}

// Progress reaches the bar as it happens: the first lock from 0 to 100, the second one
// starting from that 100 and dropping to 0 when its encryption starts.
TEST_F(Lock, ProgressEventsMoveTheBarDuringEachLock) {
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    PressLock(Path(u"first.exe"));
    const std::vector<int> first = Bar();
    ASSERT_GE(first.size(), 3u);
    EXPECT_EQ(first.front(), 0);
    EXPECT_EQ(first.back(), 100);
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));

    PressLock(Path(u"second.exe"));
    ASSERT_TRUE(Boxes().empty());
    const std::vector<int> both = Bar();
    ASSERT_GT(both.size(), first.size());
    const std::vector<int> second(both.begin() + static_cast<ptrdiff_t>(first.size()), both.end());
    EXPECT_EQ(second.front(), 0);
    EXPECT_EQ(std::vector<int>(second.begin() + 1, second.end()),
              std::vector<int>(first.begin() + 1, first.end()));
    EXPECT_EQ(form_->ProgressBar1->Position(), 100);
}

// A lock that fails in the builder shows its message and leaves the result line empty,
// also after an earlier success had filled it.
TEST_F(Lock, FailedLockShowsTheBuildersMessageAndNoResult) {
    WriteAll(Path(u"taken.exe"), Bytes{1, 2, 3});
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    PressLock(Path(u"first.exe"));
    ASSERT_EQ(form_->Label1->Caption(), u"first.exe has been generated!");

    PressLock(Path(u"taken.exe"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Icon, ui::TMsgIcon::stop);
    EXPECT_EQ(Boxes()[0].Caption, ui::Application().Title());
    EXPECT_TRUE(Boxes()[0].Text.starts_with(u"The package could not be saved as \"" +
                                            Path(u"taken.exe") + u"\""))
        << rtl::Utf8Encode(Boxes()[0].Text);
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_EQ(ReadAll(Path(u"taken.exe")), (Bytes{1, 2, 3}));
}

TEST_F(Lock, MissingTargetShowsTheRuntimesOpenError) {
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    fs::remove(fs::path(Path(u"report.pdf")));
    PressLock(Path(u"out.exe"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].Text.starts_with(u"Impossible d'ouvrir le fichier \"" +
                                            Path(u"report.pdf") + u"\"."))
        << rtl::Utf8Encode(Boxes()[0].Text);
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_FALSE(platform::FileExists(Path(u"out.exe")));
}

// Cancelling after a successful lock empties the result line without a message.
TEST_F(Lock, CancellingAfterASuccessEmptiesTheResultLine) {
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    PressLock(Path(u"first.exe"));
    ASSERT_EQ(form_->Label1->Caption(), u"first.exe has been generated!");
    PressLock(std::nullopt);
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_TRUE(Boxes().empty());
}

// Every lock prepares the unlocker in the application-data folder, whatever the
// builder's folder held before.
TEST_F(Lock, EveryLockPointsTheBuilderAtTheApplicationDataFolder) {
    const String appData = platform::AppDataFolder();
    ASSERT_FALSE(appData.empty());
    const String unlockerCopy = rtl::IncludeTrailingPathDelimiter(appData) + u"UnCofrex.exe";
    Fill(Path(u"report.pdf"), kPassword, kPassword);
    for (const String& stale : {Path(u"nowhere"), String(u"")}) {
        platform::RemoveFile(unlockerCopy);
        form_->OrvCofrex->SetUnCofrexExePath(stale);
        PressLock(Path(u"out" + rtl::IntToStr(static_cast<int>(stale.size())) + u".exe"));
        ASSERT_TRUE(Boxes().empty()) << rtl::Utf8Encode(Boxes().front().Text);
        EXPECT_EQ(form_->OrvCofrex->UnCofrexExePath(), appData);
        EXPECT_TRUE(platform::FileExists(unlockerCopy));
    }
}

}  // namespace
