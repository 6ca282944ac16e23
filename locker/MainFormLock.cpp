#include "locker/MainFormLock.h"

#include "builder/PackageName.h"
#include "locker/AboutFormLock.h"
#include "locker/CopyrightFormLock.h"
#include "ui/Designer.h"
#include "locker/HelpFormLock.h"
#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"

using ui::Place;
using ui::PlaceWithMargins;
using ui::TAlign;

TForm1* Form1 = nullptr;

namespace {

// Whatever extension the user typed, a package is an executable.
rtl::String OutputFileName(const rtl::String& chosen) {
    return rtl::ChangeFileExt(chosen, u".exe");
}

}  // namespace

TForm1::TForm1(rtl::TComponent* AOwner) : ui::TForm(AOwner) {
    SetName(u"Form1");
    SetCaption(u"Lock a file");
    SetIconResource(u"MAINICON");
    CreateMenu();
    CreateTargetGroup();
    CreateSettingsGroup();
    CreateActionStrip();
    CreateComponents();
    SetClientSize(558, 283);
    SetActiveControl(Edit1);
}

void TForm1::CreateMenu() {
    MainMenu1 = new ui::TMainMenu(this);
    MainMenu1->SetName(u"MainMenu1");
    auto item = [this](const char16_t* name, const char16_t* caption) {
        auto* menuItem = new ui::TMenuItem(this);
        menuItem->SetName(name);
        menuItem->SetCaption(caption);
        MainMenu1->Add(menuItem);
        return menuItem;
    };
    Help1 = item(u"Help1", u"Help");
    Help1->OnClick = [this](rtl::TObject* Sender) { Help1Click(Sender); };
    About1 = item(u"About1", u"About");
    About1->OnClick = [this](rtl::TObject* Sender) { About1Click(Sender); };
    Copyright1 = item(u"Copyright1", u"Copyright");
    Copyright1->OnClick = [this](rtl::TObject* Sender) { Copyright1Click(Sender); };
    SetMenu(MainMenu1);
}

// The edit and its browse button sit in the middle of the group's 46-pixel client area.
void TForm1::CreateTargetGroup() {
    GroupBox1 = Place<ui::TGroupBox>(this, this, u"GroupBox1", TAlign::alTop, 558, 63);
    GroupBox1->SetCaption(u"Target File");
    SpeedButton1 = PlaceWithMargins<ui::TSpeedButton>(this, GroupBox1, u"SpeedButton1",
                                                      TAlign::alRight, 26, 20, {3, 12, 6, 14});
    SpeedButton1->SetCaption(u"...");
    SpeedButton1->OnClick = [this](rtl::TObject* Sender) { SpeedButton1Click(Sender); };
    Edit1 = PlaceWithMargins<ui::TEdit>(this, GroupBox1, u"Edit1", TAlign::alClient, 0, 21,
                                        {6, 12, 0, 13});
    Edit1->SetReadOnly(true);
    Edit1->SetTabOrder(0);
}

// Two rows, each an edit with a 26-pixel companion at its right: the empty button keeps
// Edit3 exactly as wide as Edit2 beside its indicator.
void TForm1::CreateSettingsGroup() {
    constexpr ui::TColor kGroupColor = ui::TColor::clGradientActiveCaption;
    GroupBox2 = Place<ui::TGroupBox>(this, this, u"GroupBox2", TAlign::alTop, 558, 138);
    GroupBox2->SetCaption(u"Settings");
    GroupBox2->SetColor(kGroupColor);

    Label2 = PlaceWithMargins<ui::TLabel>(this, GroupBox2, u"Label2", TAlign::alTop, 0, 13,
                                          {6, 8, 6, 0});
    Label2->SetCaption(u"Password");
    Panel1 = PlaceWithMargins<ui::TPanel>(this, GroupBox2, u"Panel1", TAlign::alTop, 0, 21,
                                          {6, 4, 6, 0});
    Panel1->SetColor(kGroupColor);
    SpeedButton3 = PlaceWithMargins<ui::TSpeedButton>(this, Panel1, u"SpeedButton3",
                                                      TAlign::alRight, 26, 20, {0, 0, 0, 1});
    SpeedButton3->SetFlat(true);
    SpeedButton3->SetEnabled(false);
    Edit3 = Place<ui::TEdit>(this, Panel1, u"Edit3", TAlign::alClient, 0, 21);
    Edit3->SetPasswordChar(u'*');
    Edit3->SetTabOrder(1);

    Label3 = PlaceWithMargins<ui::TLabel>(this, GroupBox2, u"Label3", TAlign::alTop, 0, 13,
                                          {6, 12, 6, 0});
    Label3->SetCaption(u"Confirm password");
    Panel2 = PlaceWithMargins<ui::TPanel>(this, GroupBox2, u"Panel2", TAlign::alTop, 0, 34,
                                          {6, 0, 6, 0});
    Panel2->SetColor(kGroupColor);
    // One pixel of margin makes the check as wide as the cross, so Edit2 keeps its width.
    Image2 = PlaceWithMargins<ui::TImage>(this, Panel2, u"Image2", TAlign::alRight, 25, 34,
                                          {1, 0, 0, 0});
    Image2->SetPicture(ui::PngResource(u"CHECK"));
    Image2->SetCenter(true);
    Image2->SetVisible(false);
    Image1 = Place<ui::TImage>(this, Panel2, u"Image1", TAlign::alRight, 26, 34);
    Image1->SetPicture(ui::PngResource(u"CROSS"));
    Image1->SetCenter(true);
    Edit2 =
        PlaceWithMargins<ui::TEdit>(this, Panel2, u"Edit2", TAlign::alClient, 0, 21, {0, 6, 0, 7});
    Edit2->SetPasswordChar(u'*');
    Edit2->SetTabOrder(2);

    Edit3->OnChange = [this](rtl::TObject* Sender) { Edit2Change(Sender); };
    Edit2->OnChange = [this](rtl::TObject* Sender) { Edit2Change(Sender); };
}

// The strip takes what the groups and the bar leave, less a 3-pixel gap above the bar.
void TForm1::CreateActionStrip() {
    Panel3 = PlaceWithMargins<ui::TPanel>(this, this, u"Panel3", TAlign::alClient, 558, 56,
                                          {0, 0, 0, 3});
    SpeedButton2 = PlaceWithMargins<ui::TSpeedButton>(this, Panel3, u"SpeedButton2",
                                                      TAlign::alRight, 50, 50, {3, 3, 3, 3});
    SpeedButton2->SetFlat(true);
    SpeedButton2->SetGlyph(ui::PngResource(u"LOCK_BUTTON"));
    SpeedButton2->OnClick = [this](rtl::TObject* Sender) { SpeedButton2Click(Sender); };
    Label1 = Place<ui::TLabel>(this, Panel3, u"Label1", TAlign::alClient, 0, 0);
    Label1->SetAlignment(ui::TAlignment::taCenter);
    Label1->SetLayout(ui::TTextLayout::tlCenter);

    ProgressBar1 = PlaceWithMargins<ui::TProgressBar>(this, this, u"ProgressBar1", TAlign::alBottom,
                                                      558, 17, {3, 3, 3, 3});
    ProgressBar1->SetRange(0, 100);
}

void TForm1::CreateComponents() {
    OpenDialog1 = new ui::TOpenDialog(this);
    OpenDialog1->SetName(u"OpenDialog1");
    SaveDialog1 = new ui::TSaveDialog(this);
    SaveDialog1->SetName(u"SaveDialog1");
    OrvCofrex = new TCofrex(this);
    OrvCofrex->SetName(u"OrvCofrex");
    OrvCofrex->SetOnChange([this](rtl::TObject* Sender) { OrvCofrexChange(Sender); });
}

void TForm1::SpeedButton1Click(rtl::TObject*) {
    if (OpenDialog1->Execute()) Edit1->SetText(OpenDialog1->FileName());
}

void TForm1::Edit2Change(rtl::TObject*) {
    const bool match = !Edit2->Text().empty() && Edit2->Text() == Edit3->Text();
    Image2->SetVisible(match);
    Image1->SetVisible(!match);
}

void TForm1::SpeedButton2Click(rtl::TObject*) {
    Label1->SetCaption(u"");
    if (Edit1->Text().empty()) throw rtl::Exception(u"Enter a file to lock");
    if (Edit3->Text().empty()) throw rtl::Exception(u"Enter a password");
    if (Edit2->Text() != Edit3->Text()) throw rtl::Exception(u"The passwords are not identical!");
    SaveDialog1->SetFileName(builder::ProposedPackageName(Edit1->Text()));
    if (!SaveDialog1->Execute()) return;
    Lock(Edit1->Text(), Edit2->Text(), OutputFileName(SaveDialog1->FileName()));
}

// The unlocker folder is set before every lock, whatever the builder held.
void TForm1::Lock(const rtl::String& target, const rtl::String& password,
                  const rtl::String& outputFile) {
    OrvCofrex->SetUnCofrexExePath(platform::AppDataFolder());
    OrvCofrex->Execute(target, password, outputFile);
    Label1->SetCaption(rtl::ExtractFileName(outputFile) + u" has been generated!");
}

void TForm1::OrvCofrexChange(rtl::TObject*) {
    ProgressBar1->SetPosition(OrvCofrex->Progress());
}

void TForm1::Help1Click(rtl::TObject*) {
    Form2->Show();
}

void TForm1::About1Click(rtl::TObject*) {
    Form3->Show();
}

void TForm1::Copyright1Click(rtl::TObject*) {
    Form4->Show();
}
