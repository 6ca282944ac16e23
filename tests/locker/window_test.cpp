// The lock window and the information windows as the user first sees them, the match
// indicator, and the menu.
#include <gtest/gtest.h>

#include "tests/locker/support.h"

namespace {

using locker_test::Locker;
using rtl::String;
using ui::TRect;

using Window = Locker;

// 558 x 283: target group 63 high, settings group 138, the action strip 56, a 3-pixel
// gap, and the 17-pixel bar with 3-pixel margins at the bottom edge.
TEST_F(Window, LockWindowControlsAtTheirPlacesAt96Dpi) {
    EXPECT_EQ(form_->Caption(), u"Lock a file");
    EXPECT_EQ(form_->BoundsRect(), (TRect{0, 0, 558, 283}));
    EXPECT_EQ(form_->GroupBox1->BoundsRect(), (TRect{0, 0, 558, 63}));
    EXPECT_EQ(form_->GroupBox2->BoundsRect(), (TRect{0, 63, 558, 138}));
    EXPECT_EQ(form_->Panel3->BoundsRect(), (TRect{0, 201, 558, 56}));
    EXPECT_EQ(form_->ProgressBar1->BoundsRect(), (TRect{3, 263, 552, 17}));
    EXPECT_EQ(form_->ProgressBar1->BoundsRect().Top - form_->Panel3->BoundsRect().Bottom(), 6);

    const TRect edit1 = form_->Edit1->BoundsRect(), browse = form_->SpeedButton1->BoundsRect();
    EXPECT_EQ(edit1.Height, 21);
    EXPECT_EQ((TRect{0, 0, browse.Width, browse.Height}), (TRect{0, 0, 26, 20}));
    EXPECT_EQ(edit1.Right() + 3, browse.Left);
    EXPECT_EQ(browse.Top, edit1.Top);

    const TRect lock = form_->SpeedButton2->BoundsRect();
    EXPECT_EQ(lock, (TRect{558 - 53, 3, 50, 50}));
    EXPECT_EQ(form_->Label1->BoundsRect(), (TRect{0, 0, 558 - 56, 56}));

    const TRect cross = form_->Image1->BoundsRect();
    EXPECT_EQ(cross.Width, 26);
    EXPECT_EQ(cross.Height, 34);
    EXPECT_EQ(form_->SpeedButton3->BoundsRect().Width, 26);
    EXPECT_EQ(form_->Edit2->BoundsRect().Height, 21);
    EXPECT_EQ(form_->Edit3->BoundsRect().Height, 21);
}

TEST_F(Window, BothPasswordBoxesAreAsWideWhicheverIndicatorShows) {
    const auto widths = [this] {
        return std::pair{form_->Edit3->BoundsRect().Width, form_->Edit2->BoundsRect().Width};
    };
    const auto [passwordRed, confirmationRed] = widths();
    EXPECT_EQ(passwordRed, confirmationRed);
    ui::headless::Type(*form_->Edit3, u"same");
    ui::headless::Type(*form_->Edit2, u"same");
    ASSERT_TRUE(form_->Image2->Visible());
    EXPECT_EQ(form_->Image2->BoundsRect().Width, 25);
    EXPECT_EQ(widths(), std::pair(passwordRed, confirmationRed));
}

TEST_F(Window, LockWindowScalesWithTheScreenAt144Dpi) {
    Start(144);
    EXPECT_EQ(form_->BoundsRect(), (TRect{0, 0, 837, 425}));
    EXPECT_EQ(form_->GroupBox2->BoundsRect(), (TRect{0, 95, 837, 207}));
    EXPECT_EQ(form_->SpeedButton2->BoundsRect(), (TRect{837 - 80, 5, 75, 72}));
    EXPECT_EQ(form_->ProgressBar1->BoundsRect(), (TRect{5, 394, 827, 26}));
    EXPECT_EQ(form_->Edit3->BoundsRect().Width, form_->Edit2->BoundsRect().Width);
}

TEST_F(Window, InitialStateSettingsAndTabOrder) {
    EXPECT_EQ(form_->GroupBox1->Caption(), u"Target File");
    EXPECT_EQ(form_->GroupBox2->Caption(), u"Settings");
    EXPECT_EQ(form_->GroupBox2->Color(), ui::TColor::clGradientActiveCaption);
    EXPECT_EQ(form_->Label2->Caption(), u"Password");
    EXPECT_EQ(form_->Label3->Caption(), u"Confirm password");
    EXPECT_EQ(form_->SpeedButton1->Caption(), u"...");
    EXPECT_TRUE(form_->Edit1->ReadOnly());
    EXPECT_EQ(form_->Edit3->PasswordChar(), u'*');
    EXPECT_EQ(form_->Edit2->PasswordChar(), u'*');
    EXPECT_FALSE(form_->SpeedButton3->Enabled());
    EXPECT_EQ(form_->SpeedButton3->Caption(), u"");
    EXPECT_EQ(form_->SpeedButton3->Glyph(), ui::TPicture{});
    EXPECT_EQ(form_->SpeedButton2->Caption(), u"");
    EXPECT_EQ(form_->SpeedButton2->Glyph(), ui::PngResource(u"LOCK_BUTTON"));
    EXPECT_EQ(form_->Label1->Caption(), u"");
    EXPECT_EQ(form_->Label1->Alignment(), ui::TAlignment::taCenter);
    EXPECT_EQ(form_->Label1->Layout(), ui::TTextLayout::tlCenter);
    EXPECT_EQ(form_->ProgressBar1->Min(), 0);
    EXPECT_EQ(form_->ProgressBar1->Max(), 100);
    EXPECT_EQ(form_->ProgressBar1->Position(), 0);

    EXPECT_EQ(form_->ActiveControl(), form_->Edit1);
    for (ui::TEdit* edit : {form_->Edit1, form_->Edit3, form_->Edit2}) EXPECT_TRUE(edit->TabStop());
    EXPECT_LT(form_->Edit1->TabOrder(), form_->Edit3->TabOrder());
    EXPECT_LT(form_->Edit3->TabOrder(), form_->Edit2->TabOrder());

    ASSERT_EQ(form_->Menu(), form_->MainMenu1);
    ASSERT_EQ(form_->MainMenu1->Count(), 3);
    EXPECT_EQ(form_->MainMenu1->Items(0)->Caption(), u"Help");
    EXPECT_EQ(form_->MainMenu1->Items(1)->Caption(), u"About");
    EXPECT_EQ(form_->MainMenu1->Items(2)->Caption(), u"Copyright");
    EXPECT_EQ(form_->OrvCofrex->Owner(), form_);
    EXPECT_EQ(form_->OrvCofrex->Name(), u"OrvCofrex");
}

// Start-up creates the lock window first (the main window), then Help, About and
// Copyright, which stay hidden.
TEST_F(Window, StartUpCreatesTheFourWindowsAndShowsOnlyTheLockWindow) {
    ui::TApplication& application = ui::Application();
    EXPECT_EQ(application.MainForm(), Form1);
    ASSERT_EQ(application.ComponentCount(), 4);
    EXPECT_EQ(application.Components(0), Form1);
    EXPECT_EQ(application.Components(1), Form2);
    EXPECT_EQ(application.Components(2), Form3);
    EXPECT_EQ(application.Components(3), Form4);
    EXPECT_TRUE(application.MainFormOnTaskbar());
    EXPECT_TRUE(ui::headless::IsShown(*Form1));
    for (const ui::TForm* form : std::initializer_list<const ui::TForm*>{Form2, Form3, Form4})
        EXPECT_FALSE(ui::headless::IsShown(*form)) << rtl::Utf8Encode(form->Caption());
}

struct Indicator {
    const char* what;
    String password, confirmation;
    bool green;
};

class MatchIndicator : public Locker, public testing::WithParamInterface<Indicator> {};

TEST_P(MatchIndicator, ShowsTheCheckOnlyForTheSameNonEmptyText) {
    const Indicator& c = GetParam();
    ui::headless::Type(*form_->Edit3, c.password);
    ui::headless::Type(*form_->Edit2, c.confirmation);
    EXPECT_EQ(form_->Image2->Visible(), c.green);
    EXPECT_EQ(form_->Image1->Visible(), !c.green);
}

INSTANTIATE_TEST_SUITE_P(
    Window, MatchIndicator,
    testing::Values(Indicator{"both empty", u"", u"", false},
                    Indicator{"same text", u"s3cret", u"s3cret", true},
                    Indicator{"one character differs", u"s3cret", u"s3creT", false},
                    Indicator{"only the password", u"s3cret", u"", false},
                    Indicator{"only the confirmation", u"", u"s3cret", false},
                    Indicator{"letter case differs", u"Secret", u"secret", false},
                    Indicator{"accented letters", u"\u00E9t\u00E9", u"\u00E9t\u00E9", true}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST_F(Window, IndicatorFollowsEveryChangeOfEitherBox) {
    EXPECT_FALSE(form_->Image2->Visible());
    EXPECT_TRUE(form_->Image1->Visible());
    ui::headless::Type(*form_->Edit2, u"abc");
    EXPECT_TRUE(form_->Image1->Visible());
    ui::headless::Type(*form_->Edit3, u"abc");
    EXPECT_TRUE(form_->Image2->Visible());
    EXPECT_FALSE(form_->Image1->Visible());
    ui::headless::Type(*form_->Edit3, u"abcd");
    EXPECT_FALSE(form_->Image2->Visible());
    ui::headless::Type(*form_->Edit2, u"abcd");
    EXPECT_TRUE(form_->Image2->Visible());
    ui::headless::Type(*form_->Edit2, u"");
    EXPECT_FALSE(form_->Image2->Visible());
    EXPECT_TRUE(form_->Image1->Visible());
    EXPECT_EQ(form_->Image2->Picture(), ui::PngResource(u"CHECK"));
    EXPECT_EQ(form_->Image1->Picture(), ui::PngResource(u"CROSS"));
}

TEST_F(Window, EachMenuItemShowsItsOneWindowAndClosingHidesIt) {
    const std::pair<ui::TMenuItem*, ui::TForm*> items[] = {
        {form_->Help1, Form2}, {form_->About1, Form3}, {form_->Copyright1, Form4}};
    for (const auto& [item, window] : items) {
        ui::headless::Click(*item);
        ui::headless::Click(*item);
        EXPECT_TRUE(ui::headless::IsShown(*window)) << rtl::Utf8Encode(window->Caption());
    }
    EXPECT_EQ(ui::Application().ComponentCount(), 4);
    ui::headless::CloseByUser(*Form2);
    EXPECT_FALSE(ui::headless::IsShown(*Form2));
    EXPECT_TRUE(ui::headless::IsShown(*Form3));
    EXPECT_FALSE(ui::Application().Terminated());
    ui::headless::Click(*form_->Help1);
    EXPECT_TRUE(ui::headless::IsShown(*Form2));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Window, ClosingTheLockWindowEndsTheProgramWithTheOthersOpen) {
    ui::headless::Click(*form_->Help1);
    ui::headless::CloseByUser(*form_);
    EXPECT_TRUE(ui::Application().Terminated());
}

TEST_F(Window, InformationWindowsAt96Dpi) {
    for (const ui::TForm* form : std::initializer_list<const ui::TForm*>{Form2, Form3, Form4}) {
        EXPECT_EQ(form->ClientWidth(), 678);
        EXPECT_EQ(form->ClientHeight(), 321);
        EXPECT_TRUE(form->Sizeable());
    }
    EXPECT_EQ(Form2->Caption(), u"Help");
    EXPECT_EQ(Form3->Caption(), u"About");
    EXPECT_EQ(Form4->Caption(), u"Copyright");

    ui::headless::Click(*form_->Help1);
    ui::headless::Click(*form_->About1);
    ui::headless::Click(*form_->Copyright1);
    EXPECT_EQ(Form2->Memo1->BoundsRect(), (TRect{0, 0, 678, 321}));
    EXPECT_EQ(Form2->Memo1->ScrollBars(), ui::TScrollStyle::ssNone);
    EXPECT_TRUE(Form2->Memo1->WordWrap());
    EXPECT_TRUE(Form2->Memo1->ReadOnly());

    // Label2 and Label4 keep 10 pixels below them; Label4 is two lines high.
    EXPECT_EQ(Form3->Label1->BoundsRect(), (TRect{3, 3, 672, 13}));
    EXPECT_EQ(Form3->Label3->BoundsRect().Top - Form3->Label2->BoundsRect().Bottom(), 13);
    EXPECT_EQ(Form3->Label4->BoundsRect().Height, 26);
    EXPECT_EQ(Form3->Memo1->BoundsRect().Bottom(), 318);
    EXPECT_EQ(Form3->Memo1->ScrollBars(), ui::TScrollStyle::ssVertical);
    for (const ui::TLabel* label : {Form3->Label1, Form3->Label3, Form3->Label5})
        EXPECT_TRUE(label->Bold());

    EXPECT_EQ(Form4->Image1->BoundsRect(), (TRect{0, 0, 209, 100}));
    EXPECT_EQ(Form4->Image2->BoundsRect(), (TRect{0, 0, 409, 50}));
    EXPECT_EQ(Form4->Label3->BoundsRect().Top - Form4->Panel1->BoundsRect().Bottom(), 23);
    EXPECT_EQ(Form4->Image1->Picture(), ui::PngResource(u"MAKER_LOGO"));
    EXPECT_EQ(Form4->Image2->Picture(), ui::PngResource(u"DISTRIBUTOR_LOGO"));
    EXPECT_LE(Form4->Label5->BoundsRect().Bottom(), 321);
}

// Fourteen lines; some end in a space and two begin with four.
TEST_F(Window, HelpTextKeepsItsLeadingAndTrailingSpaces) {
    std::vector<String> lines;
    const String& text = Form2->Memo1->Text();
    for (size_t start = 0;;) {
        const size_t end = text.find(u"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == String::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], u"Cofrex is a software to generate a self-decrypted file. ");
    EXPECT_EQ(lines[3], u"    - choose your target file, i.e. the file you want to encrypt");
    EXPECT_EQ(lines[4], u"    - choose a password (and confirm it) to encrypt the file");
    EXPECT_EQ(lines[12],
              u"The encryption process uses Argon2 (to generate a key from your password), AES "
              u"and SHA-2. ");
    EXPECT_EQ(lines[13],
              u"The name of the original file is embedded in clear in the encrypted file. ");
    for (size_t empty : {1, 5, 7, 9, 11}) EXPECT_EQ(lines[empty], u"");
}

}  // namespace
