#pragma once
// Unit MainFormUnlock: TForm2, the unlocker's one window "Unlock file". The password
// typed into Edit1 unlocks the file that the running package carries.
#include "crypto/AESObj.h"
#include "crypto/HashObj.h"
#include "crypto/MiscObj.h"
#include "rtl/String.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

class TForm2 : public ui::TForm {
public:
    explicit TForm2(rtl::TComponent* AOwner);

    ui::TPanel* Panel1;
    ui::TPanel* Panel2;
    ui::TLabel* Label1;
    ui::TEdit* Edit1;
    ui::TSpeedButton* SpeedButton1;
    ui::TCheckBox* CheckBox1;
    ui::TProgressBar* ProgressBar1;

    TSHA2Hash* SHA2;
    TArgon2KeyDerivation* Argon;
    TAESEncryption* AES;
    TConvert* Conv;

    // The unlock flow: checks the password against the package's HASH, decrypts
    // ENCRYPTEDFILE under the name FILENAME in the current directory, opens it when
    // CheckBox1 is ticked, and closes the window. A wrong password shows "Bad
    // password" and closes the window too; an error leaves it open.
    void SpeedButton1Click(rtl::TObject* Sender);
    void AESChange(rtl::TObject* Sender);

private:
    void CreateControls();
    void CreateComponents();
    // Steps 7 to 11 of the flow: the file itself.
    void UnlockFile();
};
