#pragma once
// The controls. Each holds its own state (text, checked, position...) in portable code;
// a backend peer shows that state and reports what the user did. Form code sets
// designer names (SetName), parents, docking and 96-DPI sizes, and never touches a peer.
#include <memory>
#include <vector>

#include "rtl/Component.h"
#include "rtl/String.h"
#include "ui/Geometry.h"
#include "ui/Picture.h"

namespace ui {

class Peer;
class TForm;
class TWinControl;

// What changed, for the peer to show.
enum class TChange : uint8_t { caption, text, state, visible, enabled, bounds, picture, font };

class TControl : public rtl::TComponent {
public:
    explicit TControl(rtl::TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    // Children are laid out in the order they were given their parent.
    void SetParent(TWinControl* parent);
    // The form this control belongs to (itself for a form); nullptr when unparented.
    TForm* ParentForm();

    // Design position and size in pixels at 96 DPI.
    int Left() const { return design_.Left; }
    int Top() const { return design_.Top; }
    int Width() const { return design_.Width; }
    int Height() const { return design_.Height; }
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int value);
    void SetHeight(int value);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    // Docked controls keep Margins free around them when AlignWithMargins is set.
    bool AlignWithMargins() const { return alignWithMargins_; }
    void SetAlignWithMargins(bool value);
    const TMargins& Margins() const { return margins_; }
    void SetMargins(const TMargins& value);

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // Device pixels inside the parent's client area, as the last layout placed it.
    const TRect& BoundsRect() const { return bounds_; }

    // For layout and backends.
    void SetBoundsRect(const TRect& value);
    Peer* GetPeer() const { return peer_.get(); }
    void SetPeer(std::unique_ptr<Peer> peer);

protected:
    void Changed(TChange what);

private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    TRect design_;
    TRect bounds_;
    TAlign align_ = TAlign::alNone;
    bool alignWithMargins_ = false;
    TMargins margins_;
    bool visible_ = true;
    bool enabled_ = true;
    std::unique_ptr<Peer> peer_;
};

// A control that holds others and can take the keyboard focus.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;

    // Focus moves with the tab key between controls with TabStop, in TabOrder
    // (ties in creation order).
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int value) { tabOrder_ = value; }

    // The part of this control's own rectangle (device pixels, origin at its
    // top-left) where its children are docked.
    virtual TRect ClientArea(int dpi) const;

private:
    friend class TControl;
    std::vector<TControl*> controls_;
    bool tabStop_ = false;
    int tabOrder_ = 0;
};

class TPanel : public TWinControl {
public:
    explicit TPanel(rtl::TComponent* AOwner);
    TColor Color() const { return color_; }
    void SetColor(TColor value);

private:
    TColor color_ = TColor::clBtnFace;
};

// A framed group with a caption; children are docked inside the frame.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(rtl::TComponent* AOwner);
    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TRect ClientArea(int dpi) const override;

private:
    rtl::String caption_;
    TColor color_ = TColor::clBtnFace;
};

class TLabel : public TControl {
public:
    explicit TLabel(rtl::TComponent* AOwner);
    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool Bold() const { return bold_; }
    void SetBold(bool value);

private:
    rtl::String caption_;
    bool wordWrap_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool bold_ = false;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(rtl::TComponent* AOwner);
    const rtl::String& Text() const { return text_; }
    // A different text is stored and raises OnChange.
    void SetText(const rtl::String& value);
    // 0: characters shown as typed.
    char16_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char16_t value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    rtl::TNotifyEvent OnChange;

    // The backend reports text the user typed: stored without echo to the peer.
    void TextEdited(const rtl::String& value);

private:
    rtl::String text_;
    char16_t passwordChar_ = 0;
    bool readOnly_ = false;
};

// A multi-line text box; lines are joined with CR LF.
class TMemo : public TWinControl {
public:
    explicit TMemo(rtl::TComponent* AOwner);
    const rtl::String& Text() const { return text_; }
    void SetText(const rtl::String& value);
    void SetLines(const std::vector<rtl::String>& lines);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);

private:
    rtl::String text_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(rtl::TComponent* AOwner);
    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    rtl::TNotifyEvent OnClick;

    // The backend reports a click of the user: the box toggles, then OnClick runs.
    void Toggled();

private:
    rtl::String caption_;
    bool checked_ = false;
};

// A button that never takes the focus; shows a caption or a picture centred.
class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(rtl::TComponent* AOwner);
    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    const TPicture& Glyph() const { return glyph_; }
    void SetGlyph(const TPicture& value);
    rtl::TNotifyEvent OnClick;

    // Runs OnClick at the event boundary when the button is enabled and visible.
    void Click();

private:
    rtl::String caption_;
    bool flat_ = false;
    TPicture glyph_;
};

class TImage : public TControl {
public:
    explicit TImage(rtl::TComponent* AOwner);
    const TPicture& Picture() const { return picture_; }
    void SetPicture(const TPicture& value);
    bool Center() const { return center_; }
    void SetCenter(bool value);

private:
    TPicture picture_;
    bool center_ = false;
};

// Range Min..Max (0..100 unless set); the peer repaints as soon as Position changes,
// so the bar moves while a handler runs without returning to the message loop.
class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(rtl::TComponent* AOwner);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Position() const { return position_; }
    // Clamped into Min..Max.
    void SetPosition(int value);

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

}  // namespace ui
