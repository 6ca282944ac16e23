#include "ui/Forms.h"

#include <functional>

#include "ui/Layout.h"
#include "ui/Peer.h"

namespace ui {

TForm::TForm(rtl::TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
}

TForm::~TForm() {
    // Peers of controls go before the form's own window.
    std::function<void(TWinControl&)> dropPeers = [&](TWinControl& parent) {
        for (int i = 0; i < parent.ControlCount(); ++i) {
            TControl* control = parent.Controls(i);
            if (auto* container = dynamic_cast<TWinControl*>(control)) dropPeers(*container);
            control->SetPeer(nullptr);
        }
    };
    dropPeers(*this);
    SetPeer(nullptr);
}

void TForm::SetCaption(const rtl::String& value) {
    caption_ = value;
    Changed(TChange::caption);
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    ClientResized(ScaleForDpi(width, dpi_), ScaleForDpi(height, dpi_), dpi_);
}

void TForm::ClientResized(int width, int height, int dpi) {
    dpi_ = dpi;
    SetBoundsRect({0, 0, width, height});
    Realign();
}

void TForm::Realign() {
    ArrangeChildren(*this, dpi_);
}

void TForm::HandleNeeded() {
    if (GetPeer()) return;
    dpi_ = backend::ScreenDpi();
    ClientResized(ScaleForDpi(clientWidth_, dpi_), ScaleForDpi(clientHeight_, dpi_), dpi_);
    SetPeer(backend::CreatePeer(*this));
    std::function<void(TWinControl&)> createPeers = [&](TWinControl& parent) {
        for (int i = 0; i < parent.ControlCount(); ++i) {
            TControl* control = parent.Controls(i);
            control->SetPeer(backend::CreatePeer(*control));
            if (auto* container = dynamic_cast<TWinControl*>(control)) createPeers(*container);
        }
    };
    createPeers(*this);
}

void TForm::Show() {
    HandleNeeded();
    SetVisible(true);
    backend::ShowForm(*this);
}

void TForm::Hide() {
    SetVisible(false);
    if (GetPeer()) backend::HideForm(*this);
}

void TForm::Close() {
    Hide();
    if (Application().MainForm() == this) Application().Terminate();
}

}  // namespace ui
