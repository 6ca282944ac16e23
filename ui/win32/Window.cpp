#include "ui/win32/Window.h"

#include <map>
#include <utility>

#include "ui/ControlId.h"
#include "ui/Forms.h"

namespace ui::win32 {

LRESULT CALLBACK PeerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* peer =
            static_cast<WindowPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        peer->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    }
    WindowPeer* peer = WindowPeer::FromHandle(window);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    LRESULT result = 0;
    bool handled = false;
    if (peer) {
        try {
            handled = peer->OnMessage(message, wParam, lParam, result);
        } catch (const std::exception& error) {
            Application().ShowException(error);
        } catch (...) {
        }
    }
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClasses() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const wchar_t* name :
         {kFormClass, kPanelClass, kLabelClass, kSpeedButtonClass, kImageClass}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = name == kFormClass ? 0u : UINT(CS_HREDRAW | CS_VREDRAW);
        windowClass.lpfnWndProc = PeerWindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = name;
        RegisterClassExW(&windowClass);
    }
}

WindowPeer::~WindowPeer() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

WindowPeer* WindowPeer::FromHandle(HWND window) {
    return reinterpret_cast<WindowPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

int WindowPeer::Dpi() const {
    const TForm* form = control_.ParentForm();
    return form ? form->Dpi() : kDesignDpi;
}

void WindowPeer::CreateChild(const wchar_t* className, const rtl::String& text, DWORD style,
                             DWORD exStyle) {
    const auto* parent = static_cast<WindowPeer*>(control_.Parent()->GetPeer());
    const TRect& r = control_.BoundsRect();
    if (control_.Visible()) style |= WS_VISIBLE;
    if (!control_.Enabled()) style |= WS_DISABLED;
    const HMENU id = reinterpret_cast<HMENU>(
        static_cast<INT_PTR>(ControlId(std::u16string_view(control_.Name()))));
    const HWND created =
        CreateWindowExW(exStyle, className, Wide(text), WS_CHILD | style, r.Left, r.Top, r.Width,
                        r.Height, parent->Handle(), id, GetModuleHandleW(nullptr), this);
    if (!window_) {
        // A system class: the peer is attached once the window exists.
        window_ = created;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ApplyFont();
}

void WindowPeer::CreateTopLevel(DWORD style, DWORD exStyle, HWND owner, const RECT& rect) {
    CreateWindowExW(exStyle, kFormClass, L"", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, owner, nullptr, GetModuleHandleW(nullptr), this);
}

void WindowPeer::ApplyFont() {
    const auto* label = dynamic_cast<const TLabel*>(&control_);
    SendMessageW(window_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(FormFont(Dpi(), label && label->Bold())), TRUE);
}

void WindowPeer::Update(TChange what) {
    if (!window_) return;
    switch (what) {
        case TChange::bounds: {
            const TRect& r = control_.BoundsRect();
            SetWindowPos(window_, nullptr, r.Left, r.Top, r.Width, r.Height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case TChange::visible:
            ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case TChange::enabled:
            EnableWindow(window_, control_.Enabled());
            InvalidateRect(window_, nullptr, TRUE);
            break;
        case TChange::font:
            ApplyFont();
            InvalidateRect(window_, nullptr, TRUE);
            break;
        default:
            break;
    }
    Refresh(what);
}

bool WindowPeer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return HandleChildMessage(message, wParam, lParam, result);
}

HFONT FormFont(int dpi, bool bold) {
    static std::map<std::pair<int, bool>, UniqueFont> fonts;
    UniqueFont& font = fonts[{dpi, bold}];
    if (!font) {
        LOGFONTW description{};
        description.lfHeight = -MulDiv(8, dpi, 72);
        description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(description.lfFaceName, L"Tahoma", LF_FACESIZE);
        font.Reset(CreateFontIndirectW(&description));
    }
    return font.Get();
}

TColor BackgroundOf(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent()) {
        if (const auto* panel = dynamic_cast<const TPanel*>(c)) return panel->Color();
        if (const auto* group = dynamic_cast<const TGroupBox*>(c)) return group->Color();
        if (const auto* form = dynamic_cast<const TForm*>(c)) return form->Color();
    }
    return TColor::clBtnFace;
}

COLORREF ColorValue(TColor color) {
    switch (color) {
        case TColor::clWindow:
            return GetSysColor(COLOR_WINDOW);
        case TColor::clGradientActiveCaption:
            return GetSysColor(COLOR_GRADIENTACTIVECAPTION);
        default:
            return GetSysColor(COLOR_BTNFACE);
    }
}

HBRUSH ColorBrush(TColor color) {
    switch (color) {
        case TColor::clWindow:
            return GetSysColorBrush(COLOR_WINDOW);
        case TColor::clGradientActiveCaption:
            return GetSysColorBrush(COLOR_GRADIENTACTIVECAPTION);
        default:
            return GetSysColorBrush(COLOR_BTNFACE);
    }
}

bool HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND child = reinterpret_cast<HWND>(lParam);
    switch (message) {
        case WM_COMMAND:
            if (WindowPeer* peer = child ? WindowPeer::FromHandle(child) : nullptr) {
                peer->OnCommand(HIWORD(wParam));
                result = 0;
                return true;
            }
            return false;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            WindowPeer* peer = WindowPeer::FromHandle(child);
            if (!peer) return false;
            const HDC dc = reinterpret_cast<HDC>(wParam);
            // Read-only edits keep the white of editable ones.
            const TColor color =
                dynamic_cast<TEdit*>(&peer->Control()) || dynamic_cast<TMemo*>(&peer->Control())
                    ? TColor::clWindow
                    : BackgroundOf(*peer->Control().Parent());
            SetBkColor(dc, ColorValue(color));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            result = reinterpret_cast<LRESULT>(ColorBrush(color));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace ui::win32
