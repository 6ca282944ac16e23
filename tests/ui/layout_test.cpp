#include "ui/Layout.h"

#include <gtest/gtest.h>

#include "ui/Forms.h"
#include "ui/headless/Driver.h"

namespace {

using ui::TAlign;
using ui::TRect;

// A form with one control of each docking kind, margins on some.
class Docking : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ui::headless::Reset(GetParam());
        ui::Application().CreateForm(form_);
        top_ = Add<ui::TPanel>(TAlign::alTop, 0, 56);
        bottom_ = Add<ui::TProgressBar>(TAlign::alBottom, 0, 17);
        bottom_->SetAlignWithMargins(true);
        right_ = Add<ui::TSpeedButton>(TAlign::alRight, 50, 0);
        right_->SetAlignWithMargins(true);
        client_ = Add<ui::TGroupBox>(TAlign::alClient, 0, 0);
        fixed_ = Add<ui::TLabel>(TAlign::alNone, 0, 0);
        fixed_->SetBounds(10, 20, 30, 13);
        inner_ = new ui::TEdit(form_);
        inner_->SetParent(client_);
        inner_->SetAlign(TAlign::alTop);
        inner_->SetHeight(21);
        form_->SetClientSize(400, 200);
        form_->Show();
    }
    template <typename Control>
    Control* Add(TAlign align, int width, int height) {
        auto* control = new Control(form_);
        control->SetParent(form_);
        control->SetAlign(align);
        control->SetBounds(0, 0, width, height);
        return control;
    }
    // `pixels` at 96 DPI on this test's screen.
    int S(int pixels) const { return ui::ScaleForDpi(pixels, GetParam()); }

    ui::TForm* form_ = nullptr;
    ui::TPanel* top_;
    ui::TProgressBar* bottom_;
    ui::TSpeedButton* right_;
    ui::TGroupBox* client_;
    ui::TLabel* fixed_;
    ui::TEdit* inner_;
};

TEST_P(Docking, ControlsShareTheClientAreaInDockingOrder) {
    const int w = S(400), h = S(200);
    EXPECT_EQ(form_->BoundsRect(), (TRect{0, 0, w, h}));
    EXPECT_EQ(top_->BoundsRect(), (TRect{0, 0, w, S(56)}));
    EXPECT_EQ(bottom_->BoundsRect(), (TRect{S(3), h - S(3) - S(17), w - 2 * S(3), S(17)}));
    const int middleTop = S(56), middleHeight = h - S(56) - S(17) - 2 * S(3);
    EXPECT_EQ(right_->BoundsRect(),
              (TRect{w - S(3) - S(50), middleTop + S(3), S(50), middleHeight - 2 * S(3)}));
    EXPECT_EQ(client_->BoundsRect(), (TRect{0, middleTop, w - S(50) - 2 * S(3), middleHeight}));
    EXPECT_EQ(fixed_->BoundsRect(), (TRect{S(10), S(20), S(30), S(13)}));
    // Inside the group box: below its caption, inside its frame.
    EXPECT_EQ(inner_->BoundsRect(), (TRect{S(2), S(15), w - S(50) - 2 * S(3) - 2 * S(2), S(21)}));
}

TEST_P(Docking, ResizingKeepsEdgesDockedAndHiddenControlsGiveUpTheirSpace) {
    form_->ClientResized(S(500), S(300), GetParam());
    EXPECT_EQ(right_->BoundsRect().Right(), S(500) - S(3));
    EXPECT_EQ(bottom_->BoundsRect().Bottom(), S(300) - S(3));
    EXPECT_EQ(client_->BoundsRect().Width, S(500) - S(50) - 2 * S(3));

    right_->SetVisible(false);
    EXPECT_EQ(client_->BoundsRect().Width, S(500));
    right_->SetVisible(true);
    EXPECT_EQ(client_->BoundsRect().Width, S(500) - S(50) - 2 * S(3));
}

TEST_P(Docking, AControlLargerThanTheSpaceLeftGetsNoNegativeSize) {
    form_->ClientResized(S(40), S(60), GetParam());
    for (const ui::TControl* control :
         std::initializer_list<const ui::TControl*>{top_, bottom_, right_, client_, inner_}) {
        EXPECT_GE(control->BoundsRect().Width, 0);
        EXPECT_GE(control->BoundsRect().Height, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, Docking, testing::Values(96, 120, 144, 192));

TEST(ScaleForDpi, RoundsToNearest) {
    EXPECT_EQ(ui::ScaleForDpi(3, 96), 3);
    EXPECT_EQ(ui::ScaleForDpi(3, 144), 5);
    EXPECT_EQ(ui::ScaleForDpi(11, 144), 17);
    EXPECT_EQ(ui::ScaleForDpi(458, 120), 573);
    EXPECT_EQ(ui::ScaleForDpi(-3, 144), -5);
}

}  // namespace
