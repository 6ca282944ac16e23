#include "ui/Dialogs.h"

#include "ui/Forms.h"
#include "ui/Peer.h"

namespace ui {

TFileDialog::TFileDialog(rtl::TComponent* AOwner, TFileDialogKind kind)
    : rtl::TComponent(AOwner), kind_(kind) {}

bool TFileDialog::Execute() {
    rtl::String chosen = fileName_;
    if (!backend::ExecuteFileDialog(kind_, chosen)) return false;
    fileName_ = chosen;
    return true;
}

void ShowMessageBox(const rtl::String& text, const rtl::String& caption, TMsgIcon icon) {
    backend::ShowMessageBox(text, caption, icon);
}

void ShowMessage(const rtl::String& text) {
    ShowMessageBox(text, Application().Title(), TMsgIcon::none);
}

}  // namespace ui
