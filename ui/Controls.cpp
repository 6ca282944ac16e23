#include "ui/Controls.h"

#include <algorithm>

#include "rtl/Exception.h"
#include "ui/Forms.h"
#include "ui/Peer.h"

namespace ui {

TControl::TControl(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TControl::~TControl() {
    peer_.reset();
    if (parent_) std::erase(parent_->controls_, this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_) std::erase(parent_->controls_, this);
    parent_ = parent;
    if (parent_) parent_->controls_.push_back(this);
}

TForm* TControl::ParentForm() {
    TControl* control = this;
    while (control->parent_) control = control->parent_;
    return dynamic_cast<TForm*>(control);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    design_ = {left, top, width, height};
    Changed(TChange::bounds);
}

void TControl::SetWidth(int value) {
    SetBounds(design_.Left, design_.Top, value, design_.Height);
}

void TControl::SetHeight(int value) {
    SetBounds(design_.Left, design_.Top, design_.Width, value);
}

void TControl::SetAlign(TAlign value) {
    align_ = value;
}

void TControl::SetAlignWithMargins(bool value) {
    alignWithMargins_ = value;
}

void TControl::SetMargins(const TMargins& value) {
    margins_ = value;
}

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed(TChange::visible);
    // A hidden docked control gives its space to the others.
    if (align_ != TAlign::alNone && parent_)
        if (TForm* form = ParentForm()) form->Realign();
}

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Changed(TChange::enabled);
}

void TControl::SetBoundsRect(const TRect& value) {
    if (bounds_ == value) return;
    bounds_ = value;
    if (peer_) peer_->Update(TChange::bounds);
}

void TControl::SetPeer(std::unique_ptr<Peer> peer) {
    peer_ = std::move(peer);
}

void TControl::Changed(TChange what) {
    if (peer_) peer_->Update(what);
}

TWinControl::~TWinControl() {
    for (TControl* control : controls_) control->parent_ = nullptr;
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) throw rtl::EListError(index);
    return controls_[index];
}

TRect TWinControl::ClientArea(int) const {
    return {0, 0, BoundsRect().Width, BoundsRect().Height};
}

TPanel::TPanel(rtl::TComponent* AOwner) : TWinControl(AOwner) {}

void TPanel::SetColor(TColor value) {
    color_ = value;
    Changed(TChange::state);
}

TGroupBox::TGroupBox(rtl::TComponent* AOwner) : TWinControl(AOwner) {}

void TGroupBox::SetCaption(const rtl::String& value) {
    caption_ = value;
    Changed(TChange::caption);
}

void TGroupBox::SetColor(TColor value) {
    color_ = value;
    Changed(TChange::state);
}

// Inside the frame and below the caption line of an 11-pixel font.
TRect TGroupBox::ClientArea(int dpi) const {
    const int side = ScaleForDpi(2, dpi);
    const int top = ScaleForDpi(15, dpi);
    const TRect& own = BoundsRect();
    return {side, top, std::max(0, own.Width - 2 * side), std::max(0, own.Height - top - side)};
}

TLabel::TLabel(rtl::TComponent* AOwner) : TControl(AOwner) {}

void TLabel::SetCaption(const rtl::String& value) {
    caption_ = value;
    Changed(TChange::caption);
}

void TLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    Changed(TChange::state);
}

void TLabel::SetAlignment(TAlignment value) {
    alignment_ = value;
    Changed(TChange::state);
}

void TLabel::SetLayout(TTextLayout value) {
    layout_ = value;
    Changed(TChange::state);
}

void TLabel::SetBold(bool value) {
    bold_ = value;
    Changed(TChange::font);
}

TEdit::TEdit(rtl::TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
}

void TEdit::SetText(const rtl::String& value) {
    if (text_ == value) return;
    text_ = value;
    Changed(TChange::text);
    if (OnChange) OnChange(this);
}

void TEdit::TextEdited(const rtl::String& value) {
    if (text_ == value) return;
    text_ = value;
    if (OnChange) Application().RunHandler([this] { OnChange(this); });
}

void TEdit::SetPasswordChar(char16_t value) {
    passwordChar_ = value;
    Changed(TChange::state);
}

void TEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    Changed(TChange::state);
}

TMemo::TMemo(rtl::TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
}

void TMemo::SetText(const rtl::String& value) {
    text_ = value;
    Changed(TChange::text);
}

void TMemo::SetLines(const std::vector<rtl::String>& lines) {
    rtl::String text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? u"\r\n" : u"") + lines[i];
    SetText(text);
}

void TMemo::SetReadOnly(bool value) {
    readOnly_ = value;
    Changed(TChange::state);
}

void TMemo::SetWordWrap(bool value) {
    wordWrap_ = value;
    Changed(TChange::state);
}

void TMemo::SetScrollBars(TScrollStyle value) {
    scrollBars_ = value;
    Changed(TChange::state);
}

TCheckBox::TCheckBox(rtl::TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
}

void TCheckBox::SetCaption(const rtl::String& value) {
    caption_ = value;
    Changed(TChange::caption);
}

void TCheckBox::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    Changed(TChange::state);
}

void TCheckBox::Toggled() {
    SetChecked(!checked_);
    if (OnClick) Application().RunHandler([this] { OnClick(this); });
}

TSpeedButton::TSpeedButton(rtl::TComponent* AOwner) : TControl(AOwner) {}

void TSpeedButton::SetCaption(const rtl::String& value) {
    caption_ = value;
    Changed(TChange::caption);
}

void TSpeedButton::SetFlat(bool value) {
    flat_ = value;
    Changed(TChange::state);
}

void TSpeedButton::SetGlyph(const TPicture& value) {
    glyph_ = value;
    Changed(TChange::picture);
}

void TSpeedButton::Click() {
    if (!Enabled() || !Visible() || !OnClick) return;
    Application().RunHandler([this] { OnClick(this); });
}

TImage::TImage(rtl::TComponent* AOwner) : TControl(AOwner) {}

void TImage::SetPicture(const TPicture& value) {
    picture_ = value;
    Changed(TChange::picture);
}

void TImage::SetCenter(bool value) {
    center_ = value;
    Changed(TChange::state);
}

TProgressBar::TProgressBar(rtl::TComponent* AOwner) : TWinControl(AOwner) {}

void TProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    position_ = std::clamp(position_, min_, max_);
    Changed(TChange::state);
}

void TProgressBar::SetPosition(int value) {
    value = std::clamp(value, min_, max_);
    if (position_ == value) return;
    position_ = value;
    Changed(TChange::state);
}

}  // namespace ui
