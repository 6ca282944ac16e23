#include "locker/HelpFormLock.h"

#include "ui/Designer.h"

TForm2* Form2 = nullptr;

// Several lines end in a space: they are part of the text.
TForm2::TForm2(rtl::TComponent* AOwner) : ui::TForm(AOwner) {
    SetName(u"Form2");
    SetCaption(u"Help");
    Memo1 = ui::Place<ui::TMemo>(this, this, u"Memo1", ui::TAlign::alClient, 0, 0);
    Memo1->SetReadOnly(true);
    Memo1->SetWordWrap(true);
    Memo1->SetScrollBars(ui::TScrollStyle::ssNone);
    Memo1->SetLines({
        u"Cofrex is a software to generate a self-decrypted file. ",
        u"",
        u"To use it, you have to:",
        u"    - choose your target file, i.e. the file you want to encrypt",
        u"    - choose a password (and confirm it) to encrypt the file",
        u"",
        u"A dialog box asks you to choose the folder and the name of the output file.",
        u"",
        u"Cofrex generates an executable file able to self-decrypt itself. ",
        u"",
        u"You can encrypt any type of file. ",
        u"",
        u"The encryption process uses Argon2 (to generate a key from your password), AES and "
        u"SHA-2. ",
        u"The name of the original file is embedded in clear in the encrypted file. ",
    });
    SetClientSize(678, 321);
}
