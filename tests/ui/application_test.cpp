#include <gtest/gtest.h>

#include <stdexcept>

#include "rtl/Exception.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/headless/Driver.h"

namespace {

using ui::headless::MessageBoxShown;

TEST(ApplicationTitle, FileNameCutBeforeTheFirstDotWithOnlyTheFirstCharacterUpperCase) {
    const struct {
        const char16_t* path;
        const char16_t* title;
    } cases[] = {
        {u"report_encrypted.exe", u"Report_encrypted"},
        {u"REPORT_ENCRYPTED.EXE", u"Report_encrypted"},
        {u"archive.tar_encrypted.exe", u"Archive"},
        {u"UnCofrex", u"Uncofrex"},
        {u"\u00e9t\u00c9.exe", u"\u00c9t\u00e9"},
        {u".profile_encrypted.exe", u""},
        {u"", u""},
#ifdef _WIN32
        {u"C:\\My.Docs\\q3 Report.exe", u"Q3 report"},
#else
        {u"/home/my.docs/q3 Report.exe", u"Q3 report"},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(ui::TitleFromFileName(c.path), c.title);
}

TEST(ErrorDisplay, FullStopAppendedOnlyAfterACharacterAboveIt) {
    const struct {
        const char16_t* message;
        const char16_t* shown;
    } cases[] = {
        {u"Enter a file to lock", u"Enter a file to lock."},
        {u"The passwords are not identical!", u"The passwords are not identical!"},
        {u"Ressource SALT non trouv\u00e9e", u"Ressource SALT non trouv\u00e9e."},
        {u"ends with a full stop.", u"ends with a full stop."},
        {u"ends with a hyphen-", u"ends with a hyphen-"},
        {u"ends with a slash/", u"ends with a slash/."},
        {u"0", u"0."},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::ErrorDisplayText(c.message), c.shown) << rtl::Utf8Encode(c.message);
}

class Application : public testing::Test {
protected:
    void SetUp() override { ui::headless::Reset(); }
    void TearDown() override { ui::headless::Reset(); }
};

TEST_F(Application, InitializeTakesTheTitleFromTheProgramFile) {
    ui::Application().Initialize();
    EXPECT_EQ(ui::Application().Title(), u"Ui_application");
}

TEST_F(Application, ExceptionsLeavingAHandlerReachTheErrorDisplay) {
    ui::Application().SetTitle(u"Report_encrypted");
    ui::Application().RunHandler([] { throw rtl::EResNotFound(u"SALT"); });
    ui::Application().RunHandler([] { throw std::runtime_error("plain failure"); });
    ui::Application().RunHandler([] { throw 42; });
    ui::Application().RunHandler([] {});
    const std::vector<MessageBoxShown> expected = {
        {u"Report_encrypted", u"Ressource SALT non trouv\u00e9e.", ui::TMsgIcon::stop},
        {u"Report_encrypted", u"plain failure.", ui::TMsgIcon::stop},
        {u"Report_encrypted", u"Unexpected error.", ui::TMsgIcon::stop},
    };
    EXPECT_EQ(ui::headless::MessageBoxes(), expected);
}

TEST_F(Application, ShowMessageIsAPlainBoxUnderTheTitle) {
    ui::Application().SetTitle(u"Pkg");
    ui::ShowMessage(u"Bad password");
    const std::vector<MessageBoxShown> expected = {{u"Pkg", u"Bad password", ui::TMsgIcon::none}};
    EXPECT_EQ(ui::headless::MessageBoxes(), expected);
}

TEST_F(Application, FirstFormIsMainAndClosingItEndsTheProgramWhileOthersOnlyHide) {
    ui::TForm* main = nullptr;
    ui::TForm* help = nullptr;
    ui::Application().CreateForm(main);
    ui::Application().CreateForm(help);
    ASSERT_EQ(ui::Application().MainForm(), main);
    ui::Application().Run();
    EXPECT_TRUE(ui::headless::IsShown(*main));
    EXPECT_FALSE(ui::headless::IsShown(*help));

    help->Show();
    help->Show();
    ui::headless::CloseByUser(*help);
    EXPECT_FALSE(ui::headless::IsShown(*help));
    EXPECT_FALSE(ui::Application().Terminated());
    help->Show();
    EXPECT_TRUE(ui::headless::IsShown(*help));

    ui::headless::CloseByUser(*main);
    EXPECT_TRUE(ui::Application().Terminated());
    EXPECT_FALSE(ui::headless::IsShown(*main));
}

TEST_F(Application, TypingRaisesOnChangeOnceAndHandlerErrorsAreDisplayed) {
    ui::TForm* form = nullptr;
    ui::Application().CreateForm(form);
    auto* edit = new ui::TEdit(form);
    edit->SetParent(form);
    std::vector<rtl::String> seen;
    edit->OnChange = [&](rtl::TObject* sender) {
        EXPECT_EQ(sender, edit);
        seen.push_back(edit->Text());
        if (edit->Text() == u"bad") throw rtl::Exception(u"refused");
    };
    ui::headless::Type(*edit, u"abc");
    ui::headless::Type(*edit, u"abc");
    ui::headless::Type(*edit, u"bad");
    edit->SetReadOnly(true);
    ui::headless::Type(*edit, u"ignored");
    EXPECT_EQ(seen, (std::vector<rtl::String>{u"abc", u"bad"}));
    ASSERT_EQ(ui::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(ui::headless::MessageBoxes()[0].Text, u"refused.");
}

TEST_F(Application, DisabledButtonsIgnoreClicks) {
    ui::TForm* form = nullptr;
    ui::Application().CreateForm(form);
    auto* button = new ui::TSpeedButton(form);
    int clicks = 0;
    button->OnClick = [&](rtl::TObject*) { ++clicks; };
    ui::headless::Click(*button);
    button->SetEnabled(false);
    ui::headless::Click(*button);
    EXPECT_EQ(clicks, 1);
}

TEST_F(Application, FileDialogsReturnTheAnswerOrKeepTheNameWhenCancelled) {
    ui::TSaveDialog dialog(nullptr);
    dialog.SetFileName(u"report_encrypted.exe");
    ui::headless::AnswerNextFileDialog(u"/out/final");
    ui::headless::AnswerNextFileDialog(std::nullopt);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), u"/out/final");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), u"/out/final");
    ASSERT_EQ(ui::headless::FileDialogs().size(), 2u);
    EXPECT_EQ(ui::headless::FileDialogs()[0].ProposedName, u"report_encrypted.exe");
    EXPECT_EQ(ui::headless::FileDialogs()[0].Kind, ui::TFileDialogKind::save);
}

TEST_F(Application, ProgressBarShowsEveryNewPositionClampedToItsRange) {
    ui::TForm* form = nullptr;
    ui::Application().CreateForm(form);
    auto* bar = new ui::TProgressBar(form);
    bar->SetParent(form);
    form->Show();
    for (int position : {0, 16, 16, 32, 140, -5}) bar->SetPosition(position);
    EXPECT_EQ(ui::headless::PositionsShown(*bar), (std::vector<int>{0, 16, 32, 100, 0}));
}

}  // namespace
