#include <gtest/gtest.h>

#include "ui/headless/Driver.h"
#include "unlocker/MainFormUnlock.h"

namespace {

using ui::TRect;

struct Expected {
    TRect panel1, speedButton1, panel2, label1, edit1, checkBox1, progressBar1;
};

class Window : public testing::Test {
protected:
    TForm2* Open(int dpi) {
        ui::headless::Reset(dpi);
        TForm2* form = nullptr;
        ui::Application().CreateForm(form);
        ui::Application().Run();
        return form;
    }
    void TearDown() override { ui::headless::Reset(); }
};

// 458 x 104 client; a 56-pixel strip with the 50 x 50 button at its right; the edit
// 10 pixels below the label and above the strip's end; check box and bar 17 high,
// the bar with 3-pixel margins.
TEST_F(Window, ControlsAtTheirPlacesAt96Dpi) {
    const TForm2* form = Open(96);
    EXPECT_EQ(form->Caption(), u"Unlock file");
    EXPECT_EQ(form->BoundsRect(), (TRect{0, 0, 458, 104}));
    EXPECT_EQ(form->Panel1->BoundsRect(), (TRect{0, 0, 458, 56}));
    EXPECT_EQ(form->SpeedButton1->BoundsRect(), (TRect{405, 3, 50, 50}));
    EXPECT_EQ(form->Panel2->BoundsRect(), (TRect{0, 0, 402, 56}));
    EXPECT_EQ(form->Label1->BoundsRect(), (TRect{3, 2, 396, 13}));
    EXPECT_EQ(form->Edit1->BoundsRect(), (TRect{3, 25, 396, 21}));
    EXPECT_EQ(form->Edit1->BoundsRect().Bottom() + 10, form->Panel1->BoundsRect().Height);
    EXPECT_EQ(form->CheckBox1->BoundsRect(), (TRect{3, 56, 455, 17}));
    EXPECT_EQ(form->ProgressBar1->BoundsRect(), (TRect{3, 76, 452, 17}));
}

TEST_F(Window, ControlsScaleWithTheScreenAt144Dpi) {
    const TForm2* form = Open(144);
    EXPECT_EQ(form->BoundsRect(), (TRect{0, 0, 687, 156}));
    EXPECT_EQ(form->SpeedButton1->BoundsRect(), (TRect{607, 5, 75, 74}));
    EXPECT_EQ(form->CheckBox1->BoundsRect(), (TRect{5, 84, 682, 26}));
    EXPECT_EQ(form->ProgressBar1->BoundsRect(), (TRect{5, 115, 677, 26}));
}

TEST_F(Window, InitialStateAndSettings) {
    const TForm2* form = Open(96);
    EXPECT_EQ(form->Label1->Caption(), u"Password");
    EXPECT_EQ(form->Edit1->PasswordChar(), u'*');
    EXPECT_EQ(form->Edit1->Text(), u"");
    EXPECT_EQ(form->CheckBox1->Caption(), u"Open the file after unlocking?");
    EXPECT_FALSE(form->CheckBox1->Checked());
    EXPECT_EQ(form->ProgressBar1->Position(), 0);
    EXPECT_EQ(form->ActiveControl(), form->Edit1);
    EXPECT_LT(form->Edit1->TabOrder(), form->CheckBox1->TabOrder());
    EXPECT_EQ(form->SHA2->outputFormat(), TConvertType::base64);
    EXPECT_EQ(form->SHA2->hashSizeBits(), 256);
    EXPECT_EQ(form->Argon->outputSizeBytes(), 32);
    EXPECT_EQ(form->Argon->outputFormat(), TConvertType::raw);
    EXPECT_EQ(form->Argon->counter(), 10);
    EXPECT_EQ(form->Argon->memory(), 16);
    EXPECT_EQ(form->AES->keyLength(), TAESKeyLength::kl256);
    EXPECT_EQ(form->AES->AType(), TAESType::atCBC);
    EXPECT_EQ(form->AES->IVMode(), TIVMode::rand);
    EXPECT_EQ(form->AES->paddingMode(), TPaddingMode::PKCS7);
    EXPECT_EQ(form->Conv->AType(), TConvertType::raw);
}

}  // namespace
