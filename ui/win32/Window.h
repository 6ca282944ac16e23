#pragma once
// The base of every win32 peer: one child window per control, created with the
// control's dialog identifier (ui::ControlId of its designer name). Windows of the
// program's own classes carry their peer from WM_NCCREATE on and hand every message
// to its OnMessage; exceptions never leave a window procedure.
#include <windows.h>

#include "ui/Controls.h"
#include "ui/Peer.h"
#include "ui/win32/Handles.h"

namespace ui::win32 {

// The program's own window classes.
inline constexpr wchar_t kFormClass[] = L"CofrexForm";
inline constexpr wchar_t kPanelClass[] = L"CofrexPanel";
inline constexpr wchar_t kLabelClass[] = L"CofrexLabel";
inline constexpr wchar_t kSpeedButtonClass[] = L"CofrexSpeedButton";
inline constexpr wchar_t kImageClass[] = L"CofrexImage";

void RegisterWindowClasses();

class WindowPeer : public Peer {
public:
    explicit WindowPeer(TControl& control) : control_(control) {}
    ~WindowPeer() override;

    HWND Handle() const { return window_; }
    TControl& Control() const { return control_; }
    static WindowPeer* FromHandle(HWND window);

    void Update(TChange what) override;
    // A notification (WM_COMMAND code) this control sent to its parent.
    virtual void OnCommand(WORD) {}
    // Messages of the program's own classes; false lets the system handle them.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The DPI of the form this control is on.
    int Dpi() const;

protected:
    // Creates the control's window inside its parent's, at its place.
    void CreateChild(const wchar_t* className, const rtl::String& text, DWORD style,
                     DWORD exStyle = 0);
    // Creates a top-level window (forms).
    void CreateTopLevel(DWORD style, DWORD exStyle, HWND owner, const RECT& rect);
    // What the control shows beyond place, visibility, enabled state and font.
    virtual void Refresh(TChange) {}
    void ApplyFont();

private:
    friend LRESULT CALLBACK PeerWindowProc(HWND, UINT, WPARAM, LPARAM);
    TControl& control_;
    HWND window_ = nullptr;
};

// Tahoma 8 pt at `dpi`: 11 pixels high at 96 DPI. Made once per DPI and weight.
HFONT FormFont(int dpi, bool bold);
// The colour behind `control`: that of the nearest panel, group box or form.
TColor BackgroundOf(const TControl& control);
COLORREF ColorValue(TColor color);
HBRUSH ColorBrush(TColor color);
// WM_COMMAND and WM_CTLCOLOR* sent by children, handled for any container.
bool HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace ui::win32
