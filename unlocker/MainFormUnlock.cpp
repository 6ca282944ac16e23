#include "unlocker/MainFormUnlock.h"

#include "builder/CreatedFiles.h"
#include "builder/ResourceStore.h"
#include "builder/UniqueName.h"
#include "builder/UnlockedFile.h"
#include "platform/File.h"
#include "ui/Designer.h"
#include "ui/Dialogs.h"
#include "ui/Shell.h"

using ui::Place;

TForm2::TForm2(rtl::TComponent* AOwner) : ui::TForm(AOwner) {
    SetName(u"Form2");
    SetCaption(u"Unlock file");
    SetIconResource(u"MAINICON");
    CreateControls();
    CreateComponents();
    SetClientSize(458, 104);
    SetActiveControl(Edit1);
}

void TForm2::CreateControls() {
    Panel1 = Place<ui::TPanel>(this, this, u"Panel1", ui::TAlign::alTop, 458, 56);
    SpeedButton1 =
        Place<ui::TSpeedButton>(this, Panel1, u"SpeedButton1", ui::TAlign::alRight, 50, 50);
    SpeedButton1->SetAlignWithMargins(true);
    SpeedButton1->SetFlat(true);
    SpeedButton1->SetGlyph(ui::PngResource(u"UNLOCK_BUTTON"));
    SpeedButton1->OnClick = [this](rtl::TObject* Sender) { SpeedButton1Click(Sender); };

    Panel2 = Place<ui::TPanel>(this, Panel1, u"Panel2", ui::TAlign::alClient, 0, 0);
    Label1 = Place<ui::TLabel>(this, Panel2, u"Label1", ui::TAlign::alTop, 0, 13);
    Label1->SetAlignWithMargins(true);
    Label1->SetMargins({3, 2, 3, 0});
    Label1->SetCaption(u"Password");
    Edit1 = Place<ui::TEdit>(this, Panel2, u"Edit1", ui::TAlign::alTop, 0, 21);
    Edit1->SetAlignWithMargins(true);
    Edit1->SetMargins({3, 10, 3, 10});
    Edit1->SetPasswordChar(u'*');
    Edit1->SetTabOrder(0);

    CheckBox1 = Place<ui::TCheckBox>(this, this, u"CheckBox1", ui::TAlign::alTop, 458, 17);
    CheckBox1->SetAlignWithMargins(true);
    CheckBox1->SetMargins({3, 0, 0, 0});
    CheckBox1->SetCaption(u"Open the file after unlocking?");
    CheckBox1->SetTabOrder(1);

    ProgressBar1 = Place<ui::TProgressBar>(this, this, u"ProgressBar1", ui::TAlign::alTop, 458, 17);
    ProgressBar1->SetAlignWithMargins(true);
    ProgressBar1->SetRange(0, 100);
}

void TForm2::CreateComponents() {
    SHA2 = new TSHA2Hash(this);
    SHA2->SetName(u"SHA2");
    SHA2->SetOutputFormat(TConvertType::base64);
    Argon = new TArgon2KeyDerivation(this);
    Argon->SetName(u"Argon");
    Argon->SetOutputSizeBytes(32);
    Argon->SetOutputFormat(TConvertType::raw);
    AES = new TAESEncryption(this);
    AES->SetName(u"AES");
    AES->SetKeyLength(TAESKeyLength::kl256);
    AES->SetOnChange([this](rtl::TObject* Sender) { AESChange(Sender); });
    Conv = new TConvert(this);
    Conv->SetName(u"Conv");
    Conv->SetAType(TConvertType::raw);
}

void TForm2::SpeedButton1Click(rtl::TObject*) {
    rtl::String salt, storedHash;
    builder::ReadResource(u"SALT", true, salt);
    builder::ReadResource(u"HASH", true, storedHash);
    Argon->SetStringSalt(salt);
    if (SHA2->Hash(Edit1->Text() + Argon->StringSalt()) != storedHash) {
        ui::ShowMessage(u"Bad password");
        Edit1->SetText(u"");
    } else {
        AES->SetKey(Argon->GenerateKey(Edit1->Text()));
        UnlockFile();
    }
    Close();
}

void TForm2::UnlockFile() {
    rtl::String fileName;
    builder::ReadResource(u"FILENAME", true, fileName);
    builder::CheckStoredFileName(fileName);
    // The encrypted copy goes before the partial file takes the stored name, which
    // may be the copy's own when the temporary folder is the current one.
    builder::WriteUnlockedFile(u"", fileName, [this](const rtl::String& partial) {
        builder::CreatedFiles scratch;  // never committed: the encrypted copy always goes
        rtl::String tempFile =
            scratch.Add(builder::ReserveFreeName(platform::TempFolder(), u"temp.txt"));
        builder::ReadResource(u"ENCRYPTEDFILE", false, tempFile);
        AES->DecryptFileW(tempFile, partial);
    });
    if (CheckBox1->Checked()) ui::ShellOpen(fileName);
}

void TForm2::AESChange(rtl::TObject*) {
    ProgressBar1->SetPosition(AES->Progress());
}
