#pragma once
// Unit HelpFormLock: TForm2 "Help", how to use the locker.
#include "ui/Controls.h"
#include "ui/Forms.h"

class TForm2 : public ui::TForm {
public:
    explicit TForm2(rtl::TComponent* AOwner);
    ui::TMemo* Memo1;
};

extern TForm2* Form2;
