#include "locker/AboutFormLock.h"

#include <vector>

#include "ui/Designer.h"

using ui::PlaceWithMargins;
using ui::TAlign;

TForm3* Form3 = nullptr;

namespace {

// One paragraph per line; the memo wraps them.
const std::vector<rtl::String> kLicenceTerms = {
    u"These terms are an agreement between you and Orvaline Software about the use of the "
    u"Cofrex software. By installing or using the software you accept them. If you do not "
    u"accept them, do not install or use the software.",
    u"",
    u"1. Grant of license",
    u"Orvaline Software grants you a free, non-exclusive and non-transferable license to "
    u"install and use the Cofrex software on any number of computers, for private or "
    u"professional purposes. You may give unchanged copies of the software to others, free "
    u"of charge, together with these terms.",
    u"",
    u"2. Additional limitations",
    u"You may not sell, rent or lease the software, change it, or take it apart in order to "
    u"learn how it is made, except where the law allows this in spite of this limitation. "
    u"You may not remove or change any notice of ownership in the software. You alone are "
    u"responsible for the files you encrypt and for keeping your passwords: a lost password "
    u"cannot be recovered, and neither can the file it protects.",
    u"",
    u"3. Support and maintenance",
    u"Orvaline Software is not required to give support for the software, to correct "
    u"errors in it or to publish new versions. Any support or update that is given is "
    u"covered by these terms unless it comes with terms of its own.",
    u"",
    u"4. Intellectual property rights",
    u"The software, its pictures and its texts are the property of Orvaline Software and "
    u"are protected by copyright law and international treaties. These terms give you the "
    u"right to use the software only; all other rights are reserved.",
    u"",
    u"5. Warranty",
    u"The software is provided \"as is\", without warranty of any kind, express or implied, "
    u"including the warranties of merchantability, fitness for a particular purpose and "
    u"non-infringement. You bear the whole risk of using it.",
    u"",
    u"6. Liability",
    u"To the extent the law allows, Orvaline Software and its distributors are not liable "
    u"for any damage arising from the use of the software or from being unable to use it, "
    u"including lost data, lost profits or the interruption of business, even if they were "
    u"told such damage could happen.",
    u"",
    u"7. General provisions",
    u"If any part of these terms cannot be enforced, the other parts remain in force. These "
    u"terms are the whole agreement about the software. Failing to enforce a right does not "
    u"waive it. The license ends if you break these terms; you must then delete every copy "
    u"of the software.",
};

}  // namespace

TForm3::TForm3(rtl::TComponent* AOwner) : ui::TForm(AOwner) {
    SetName(u"Form3");
    SetCaption(u"About");
    auto label = [this](const char16_t* name, const rtl::String& caption, int height,
                        int spaceBelow) {
        auto* control = PlaceWithMargins<ui::TLabel>(this, this, name, TAlign::alTop, 0, height,
                                                     {3, 3, 3, spaceBelow});
        control->SetCaption(caption);
        return control;
    };
    Label1 = label(u"Label1", u"Use limitations", 13, 3);
    Label1->SetBold(true);
    Label2 = label(u"Label2",
                   u"The Cofrex software enables users to encrypt a file able to self-decrypted "
                   u"itself. ",
                   13, 10);
    Label2->SetWordWrap(true);
    Label3 = label(u"Label3", u"Privacy protection", 13, 3);
    Label3->SetBold(true);
    Label4 = label(u"Label4",
                   u"The Cofrex software does neither collect nor record any personal "
                   u"information and does neither collect nor record use statistics. No "
                   u"location information is collected or recorded",
                   26, 10);
    Label4->SetWordWrap(true);
    Label5 = label(u"Label5", u"Terms of license", 13, 3);
    Label5->SetBold(true);
    Memo1 = PlaceWithMargins<ui::TMemo>(this, this, u"Memo1", TAlign::alClient, 0, 0, {3, 3, 3, 3});
    Memo1->SetReadOnly(true);
    Memo1->SetWordWrap(true);
    Memo1->SetScrollBars(ui::TScrollStyle::ssVertical);
    Memo1->SetLines(kLicenceTerms);
    SetClientSize(678, 321);
}
