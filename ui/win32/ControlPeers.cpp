#include "ui/win32/ControlPeers.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <string>

#include "ui/win32/Picture.h"
#include "ui/win32/Window.h"

namespace ui::win32 {
namespace {

void FillBackground(HWND window, HDC dc, const TControl& control) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, ColorBrush(BackgroundOf(control)));
}

// Panels and group boxes: containers that paint their own background (and frame).
class ContainerPeer : public WindowPeer {
public:
    explicit ContainerPeer(TWinControl& control) : WindowPeer(control) {
        CreateChild(kPanelClass, u"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_ERASEBKGND) {
            Paint(reinterpret_cast<HDC>(wParam));
            result = 1;
            return true;
        }
        return WindowPeer::OnMessage(message, wParam, lParam, result);
    }
    void Refresh(TChange) override { InvalidateRect(Handle(), nullptr, TRUE); }

private:
    void Paint(HDC dc) {
        FillBackground(Handle(), dc, Control());
        const auto* group = dynamic_cast<const TGroupBox*>(&Control());
        if (!group) return;
        RECT frame;
        GetClientRect(Handle(), &frame);
        Selection font(dc, FormFont(Dpi(), false));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        frame.top += metrics.tmHeight / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        const std::wstring caption(group->Caption().begin(), group->Caption().end());
        if (caption.empty()) return;
        SIZE extent;
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int indent = MulDiv(8, Dpi(), kDesignDpi), gap = MulDiv(2, Dpi(), kDesignDpi);
        RECT text{indent - gap, 0, indent + extent.cx + gap, metrics.tmHeight};
        FillRect(dc, &text, ColorBrush(group->Color()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(dc, indent, 0, caption.c_str(), static_cast<int>(caption.size()));
    }
};

class LabelPeer : public WindowPeer {
public:
    // The window text is the caption, so tools that read windows (screen readers, tests
    // driving the program from outside) see what the label shows.
    explicit LabelPeer(TLabel& label) : WindowPeer(label), label_(label) {
        CreateChild(kLabelClass, label.Caption(), 0);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_ERASEBKGND) return result = 1, true;
        if (message != WM_PAINT) return WindowPeer::OnMessage(message, wParam, lParam, result);
        PaintScope paint(Handle());
        FillBackground(Handle(), paint.Dc(), label_);
        Selection font(paint.Dc(), FormFont(Dpi(), label_.Bold()));
        SetBkMode(paint.Dc(), TRANSPARENT);
        SetTextColor(paint.Dc(), GetSysColor(label_.Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        RECT area;
        GetClientRect(Handle(), &area);
        const std::wstring text(label_.Caption().begin(), label_.Caption().end());
        UINT format = DT_NOPREFIX | (label_.WordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
        if (label_.Alignment() == TAlignment::taCenter) format |= DT_CENTER;
        if (label_.Alignment() == TAlignment::taRightJustify) format |= DT_RIGHT;
        if (label_.Layout() != TTextLayout::tlTop) {
            RECT measured = area;
            DrawTextW(paint.Dc(), text.c_str(), -1, &measured, format | DT_CALCRECT);
            const int spare = (area.bottom - area.top) - (measured.bottom - measured.top);
            area.top += label_.Layout() == TTextLayout::tlCenter ? spare / 2 : spare;
        }
        DrawTextW(paint.Dc(), text.c_str(), -1, &area, format);
        result = 0;
        return true;
    }
    void Refresh(TChange what) override {
        if (what == TChange::caption) SetWindowTextW(Handle(), Wide(label_.Caption()));
        InvalidateRect(Handle(), nullptr, TRUE);
    }

private:
    TLabel& label_;
};

class EditPeer : public WindowPeer {
public:
    explicit EditPeer(TEdit& edit) : WindowPeer(edit), edit_(edit) {
        CreateChild(L"EDIT", edit.Text(), WS_TABSTOP | ES_AUTOHSCROLL | Style(), WS_EX_CLIENTEDGE);
        Refresh(TChange::state);
    }
    void OnCommand(WORD code) override {
        if (code != EN_CHANGE || echoing_) return;
        const int length = GetWindowTextLengthW(Handle());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(Handle(), text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        edit_.TextEdited(rtl::String(text.begin(), text.end()));
    }
    void Refresh(TChange what) override {
        if (what == TChange::text) {
            echoing_ = true;
            SetWindowTextW(Handle(), Wide(edit_.Text()));
            echoing_ = false;
        } else if (what == TChange::state) {
            SendMessageW(Handle(), EM_SETPASSWORDCHAR, edit_.PasswordChar(), 0);
            SendMessageW(Handle(), EM_SETREADONLY, edit_.ReadOnly(), 0);
            InvalidateRect(Handle(), nullptr, TRUE);
        }
    }

private:
    DWORD Style() const { return edit_.PasswordChar() ? ES_PASSWORD : 0; }
    TEdit& edit_;
    bool echoing_ = false;
};

class MemoPeer : public WindowPeer {
public:
    explicit MemoPeer(TMemo& memo) : WindowPeer(memo), memo_(memo) {
        DWORD style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
        if (!memo.WordWrap()) style |= ES_AUTOHSCROLL | WS_HSCROLL;
        if (memo.ScrollBars() == TScrollStyle::ssVertical) style |= WS_VSCROLL;
        CreateChild(L"EDIT", memo.Text(), style, WS_EX_CLIENTEDGE);
        Refresh(TChange::state);
    }
    void Refresh(TChange what) override {
        if (what == TChange::text) SetWindowTextW(Handle(), Wide(memo_.Text()));
        if (what == TChange::state) SendMessageW(Handle(), EM_SETREADONLY, memo_.ReadOnly(), 0);
    }

private:
    TMemo& memo_;
};

class CheckBoxPeer : public WindowPeer {
public:
    explicit CheckBoxPeer(TCheckBox& box) : WindowPeer(box), box_(box) {
        CreateChild(L"BUTTON", box.Caption(), WS_TABSTOP | BS_AUTOCHECKBOX);
        Refresh(TChange::state);
    }
    void OnCommand(WORD code) override {
        const bool checked = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (code == BN_CLICKED && checked != box_.Checked()) box_.Toggled();
    }
    void Refresh(TChange what) override {
        if (what == TChange::caption) SetWindowTextW(Handle(), Wide(box_.Caption()));
        if (what == TChange::state)
            SendMessageW(Handle(), BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    TCheckBox& box_;
};

class ProgressBarPeer : public WindowPeer {
public:
    explicit ProgressBarPeer(TProgressBar& bar) : WindowPeer(bar), bar_(bar) {
        CreateChild(PROGRESS_CLASSW, u"", 0);
        Refresh(TChange::state);
    }
    // The bar is set while a handler runs without returning to the message loop,
    // so it paints at once. A themed bar glides towards a higher position; setting
    // one beyond it first and then the position itself makes it jump there.
    void Refresh(TChange what) override {
        if (what != TChange::state) return;
        SendMessageW(Handle(), PBM_SETRANGE32, bar_.Min(), bar_.Max());
        const int position = bar_.Position();
        if (position < bar_.Max()) {
            SendMessageW(Handle(), PBM_SETPOS, position + 1, 0);
        } else {
            SendMessageW(Handle(), PBM_SETRANGE32, bar_.Min(), bar_.Max() + 1);
            SendMessageW(Handle(), PBM_SETPOS, position + 1, 0);
            SendMessageW(Handle(), PBM_SETRANGE32, bar_.Min(), bar_.Max());
        }
        SendMessageW(Handle(), PBM_SETPOS, position, 0);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }

private:
    TProgressBar& bar_;
};

// Draws a picture centred in the control or at its top-left corner.
void DrawPictureIn(HWND window, HDC dc, const TPicture& picture, bool center, int dpi) {
    if (picture.ResourceName.empty()) return;
    const auto bitmap = LoadPicture(picture.ResourceName, dpi);
    if (!bitmap) return;
    RECT area;
    GetClientRect(window, &area);
    const int x = center ? (area.right - bitmap->Width) / 2 : 0;
    const int y = center ? (area.bottom - bitmap->Height) / 2 : 0;
    DrawPicture(dc, *bitmap, x, y);
}

class ImagePeer : public WindowPeer {
public:
    explicit ImagePeer(TImage& image) : WindowPeer(image), image_(image) {
        CreateChild(kImageClass, u"", 0);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_ERASEBKGND) return result = 1, true;
        if (message != WM_PAINT) return WindowPeer::OnMessage(message, wParam, lParam, result);
        PaintScope paint(Handle());
        FillBackground(Handle(), paint.Dc(), image_);
        DrawPictureIn(Handle(), paint.Dc(), image_.Picture(), image_.Center(), Dpi());
        result = 0;
        return true;
    }
    void Refresh(TChange) override { InvalidateRect(Handle(), nullptr, TRUE); }

private:
    TImage& image_;
};

// Never takes the focus: it is not a system button and never asks for it.
class SpeedButtonPeer : public WindowPeer {
public:
    explicit SpeedButtonPeer(TSpeedButton& button) : WindowPeer(button), button_(button) {
        CreateChild(kSpeedButtonClass, u"", 0);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case WM_ERASEBKGND:
                result = 1;
                return true;
            case WM_PAINT:
                Paint();
                return true;
            case WM_MOUSEMOVE:
                OnMouseMove(lParam);
                return true;
            case WM_MOUSELEAVE:
                SetHot(false);
                return true;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                SetCapture(Handle());
                SetPressed(true);
                return true;
            case WM_LBUTTONUP:
                OnButtonUp(lParam);
                return true;
            case WM_CAPTURECHANGED:
                SetPressed(false);
                return true;
            default:
                return WindowPeer::OnMessage(message, wParam, lParam, result);
        }
    }
    void Refresh(TChange) override { InvalidateRect(Handle(), nullptr, TRUE); }

private:
    bool Inside(LPARAM lParam) const {
        RECT area;
        GetClientRect(Handle(), &area);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return PtInRect(&area, point);
    }
    void OnMouseMove(LPARAM lParam) {
        if (!hot_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
        }
        SetHot(Inside(lParam));
    }
    void OnButtonUp(LPARAM lParam) {
        const bool clicked = pressed_ && Inside(lParam);
        ReleaseCapture();
        SetPressed(false);
        if (clicked) button_.Click();
    }
    void SetHot(bool value) {
        if (hot_ != value) hot_ = value, InvalidateRect(Handle(), nullptr, TRUE);
    }
    void SetPressed(bool value) {
        if (pressed_ != value) pressed_ = value, InvalidateRect(Handle(), nullptr, TRUE);
    }
    void Paint() {
        PaintScope paint(Handle());
        const HDC dc = paint.Dc();
        RECT area;
        GetClientRect(Handle(), &area);
        FillBackground(Handle(), dc, button_);
        const bool enabled = button_.Enabled();
        if (!button_.Flat())
            DrawFrameControl(
                dc, &area, DFC_BUTTON,
                DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        else if (enabled && (pressed_ || hot_))
            DrawEdge(dc, &area, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        if (enabled || !button_.Flat()) DrawPictureIn(Handle(), dc, button_.Glyph(), true, Dpi());
        const std::wstring caption(button_.Caption().begin(), button_.Caption().end());
        if (caption.empty()) return;
        Selection font(dc, FormFont(Dpi(), false));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        if (pressed_) OffsetRect(&area, 1, 1);
        DrawTextW(dc, caption.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    TSpeedButton& button_;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace

std::unique_ptr<Peer> CreateControlPeer(TControl& control) {
    if (auto* c = dynamic_cast<TPanel*>(&control)) return std::make_unique<ContainerPeer>(*c);
    if (auto* c = dynamic_cast<TGroupBox*>(&control)) return std::make_unique<ContainerPeer>(*c);
    if (auto* c = dynamic_cast<TLabel*>(&control)) return std::make_unique<LabelPeer>(*c);
    if (auto* c = dynamic_cast<TEdit*>(&control)) return std::make_unique<EditPeer>(*c);
    if (auto* c = dynamic_cast<TMemo*>(&control)) return std::make_unique<MemoPeer>(*c);
    if (auto* c = dynamic_cast<TCheckBox*>(&control)) return std::make_unique<CheckBoxPeer>(*c);
    if (auto* c = dynamic_cast<TProgressBar*>(&control))
        return std::make_unique<ProgressBarPeer>(*c);
    if (auto* c = dynamic_cast<TImage*>(&control)) return std::make_unique<ImagePeer>(*c);
    if (auto* c = dynamic_cast<TSpeedButton*>(&control))
        return std::make_unique<SpeedButtonPeer>(*c);
    return nullptr;
}

}  // namespace ui::win32
