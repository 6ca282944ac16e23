#include "locker/CopyrightFormLock.h"

#include "ui/Designer.h"

using ui::Place;
using ui::PlaceWithMargins;
using ui::TAlign;

TForm4* Form4 = nullptr;

namespace {

constexpr ui::TMargins kMargins{3, 3, 3, 3};

}  // namespace

TForm4::TForm4(rtl::TComponent* AOwner) : ui::TForm(AOwner) {
    SetName(u"Form4");
    SetCaption(u"Copyright");
    auto label = [this](const char16_t* name, const rtl::String& caption, bool bold) {
        auto* control =
            PlaceWithMargins<ui::TLabel>(this, this, name, TAlign::alTop, 0, 13, kMargins);
        control->SetCaption(caption);
        control->SetBold(bold);
        return control;
    };
    Label1 = label(u"Label1", u"Orvaline Software", true);
    Label2 =
        label(u"Label2", u"Copyright \u00A9 2026 Orvaline Software. All rights reserved.", false);
    Panel1 =
        PlaceWithMargins<ui::TPanel>(this, this, u"Panel1", TAlign::alTop, 0, 100, {3, 3, 3, 20});
    Image1 = Place<ui::TImage>(this, Panel1, u"Image1", TAlign::alLeft, 209, 100);
    Image1->SetPicture(ui::PngResource(u"MAKER_LOGO"));
    Label3 = label(u"Label3", u"Brightfold Distribution", true);
    Label4 = label(u"Label4",
                   u"Brightfold Distribution is an authorised distributor of the Cofrex "
                   u"software.",
                   false);
    Panel2 = PlaceWithMargins<ui::TPanel>(this, this, u"Panel2", TAlign::alTop, 0, 50, kMargins);
    Image2 = Place<ui::TImage>(this, Panel2, u"Image2", TAlign::alLeft, 409, 50);
    Image2->SetPicture(ui::PngResource(u"DISTRIBUTOR_LOGO"));
    Label5 = label(u"Label5",
                   u"All cryptographic functions of the Cofrex software are provided by the "
                   u"Orvaline cryptographic component library.",
                   false);
    SetClientSize(678, 321);
}
