#pragma once
// Unit CopyrightFormLock: TForm4 "Copyright", the maker and the distributor with their
// logos.
#include "ui/Controls.h"
#include "ui/Forms.h"

class TForm4 : public ui::TForm {
public:
    explicit TForm4(rtl::TComponent* AOwner);
    ui::TLabel* Label1;
    ui::TLabel* Label2;
    ui::TPanel* Panel1;
    ui::TImage* Image1;
    ui::TLabel* Label3;
    ui::TLabel* Label4;
    ui::TPanel* Panel2;
    ui::TImage* Image2;
    ui::TLabel* Label5;
};

extern TForm4* Form4;
