#include "ui/Menus.h"

#include "rtl/Exception.h"
#include "ui/Forms.h"

namespace ui {

TMenuItem::TMenuItem(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

void TMenuItem::Click() {
    if (OnClick) Application().RunHandler([this] { OnClick(this); });
}

TMainMenu::TMainMenu(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TMenuItem* TMainMenu::Items(int index) const {
    if (index < 0 || index >= Count()) throw rtl::EListError(index);
    return items_[index];
}

}  // namespace ui
