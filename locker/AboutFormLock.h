#pragma once
// Unit AboutFormLock: TForm3 "About", what the software does and does not do, and its
// licence terms.
#include "ui/Controls.h"
#include "ui/Forms.h"

class TForm3 : public ui::TForm {
public:
    explicit TForm3(rtl::TComponent* AOwner);
    ui::TLabel* Label1;
    ui::TLabel* Label2;
    ui::TLabel* Label3;
    ui::TLabel* Label4;
    ui::TLabel* Label5;
    ui::TMemo* Memo1;
};

extern TForm3* Form3;
