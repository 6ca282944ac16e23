#pragma once
// Unit MainFormLock: TForm1, the locker's main window "Lock a file". The user picks
// a target, types a password twice and presses the padlock; the window checks the
// input, asks where to save and hands the lock to its package builder OrvCofrex.
#include "builder/OrvCofrex.h"
#include "rtl/String.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/Menus.h"

class TForm1 : public ui::TForm {
public:
    explicit TForm1(rtl::TComponent* AOwner);

    ui::TMainMenu* MainMenu1;
    ui::TMenuItem* Help1;
    ui::TMenuItem* About1;
    ui::TMenuItem* Copyright1;

    ui::TGroupBox* GroupBox1;
    ui::TEdit* Edit1;
    ui::TSpeedButton* SpeedButton1;

    ui::TGroupBox* GroupBox2;
    ui::TLabel* Label2;
    ui::TPanel* Panel1;
    ui::TEdit* Edit3;
    ui::TSpeedButton* SpeedButton3;
    ui::TLabel* Label3;
    ui::TPanel* Panel2;
    ui::TEdit* Edit2;
    ui::TImage* Image2;
    ui::TImage* Image1;

    ui::TPanel* Panel3;
    ui::TLabel* Label1;
    ui::TSpeedButton* SpeedButton2;

    ui::TProgressBar* ProgressBar1;
    ui::TOpenDialog* OpenDialog1;
    ui::TSaveDialog* SaveDialog1;

    TCofrex* OrvCofrex;

    void SpeedButton1Click(rtl::TObject* Sender);
    // The match indicator, for both password boxes.
    void Edit2Change(rtl::TObject* Sender);
    // The lock command: checks, output name, hand-off to OrvCofrex, result line.
    void SpeedButton2Click(rtl::TObject* Sender);
    // Moves the bar with the builder's progress while a lock runs.
    void OrvCofrexChange(rtl::TObject* Sender);
    void Help1Click(rtl::TObject* Sender);
    void About1Click(rtl::TObject* Sender);
    void Copyright1Click(rtl::TObject* Sender);

private:
    void CreateMenu();
    void CreateTargetGroup();
    void CreateSettingsGroup();
    void CreateActionStrip();
    void CreateComponents();
    void Lock(const rtl::String& target, const rtl::String& password,
              const rtl::String& outputFile);
};

extern TForm1* Form1;
