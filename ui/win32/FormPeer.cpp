#include "ui/win32/FormPeer.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "ui/win32/Window.h"

namespace ui::win32 {
namespace {

// Menu commands get identifiers clear of IDOK and IDCANCEL, which the dialog
// keyboard handling sends on Enter and Escape.
constexpr UINT kFirstMenuCommand = 100;

void ForEachPeer(TWinControl& parent, const std::function<void(Peer&)>& action) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        if (Peer* peer = control->GetPeer()) action(*peer);
        if (auto* container = dynamic_cast<TWinControl*>(control)) ForEachPeer(*container, action);
    }
}

class FormPeer : public WindowPeer {
public:
    explicit FormPeer(TForm& form) : WindowPeer(form), form_(form) {
        const DWORD style = WS_CLIPCHILDREN | (form.Sizeable() ? WS_OVERLAPPEDWINDOW
                                                               : WS_OVERLAPPED | WS_CAPTION |
                                                                     WS_SYSMENU | WS_MINIMIZEBOX);
        CreateTopLevel(style, WS_EX_CONTROLPARENT, IsMain() ? nullptr : MainWindow(),
                       Placement(style));
        SetWindowTextW(Handle(), Wide(form.Caption()));
        SetIcons();
        CreateMenuBar();
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case WM_SIZE:
                if (wParam != SIZE_MINIMIZED)
                    form_.ClientResized(LOWORD(lParam), HIWORD(lParam), form_.Dpi());
                return false;
            case WM_DPICHANGED:
                OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
                return true;
            case WM_CLOSE:
                Application().RunHandler([this] { form_.Close(); });
                return true;
            case WM_ACTIVATE:
                if (LOWORD(wParam) == WA_INACTIVE) lastFocus_ = GetFocus();
                return false;
            case WM_SETFOCUS:
                RestoreFocus();
                return true;
            case WM_COMMAND:
                if (lParam == 0 && HIWORD(wParam) == 0) return OnMenu(LOWORD(wParam));
                return WindowPeer::OnMessage(message, wParam, lParam, result);
            default:
                return WindowPeer::OnMessage(message, wParam, lParam, result);
        }
    }

    void Refresh(TChange what) override {
        if (what == TChange::caption) SetWindowTextW(Handle(), Wide(form_.Caption()));
    }
    // The form's own rectangle is its client area: the system decides it.
    void Update(TChange what) override {
        if (what != TChange::bounds && what != TChange::visible) WindowPeer::Update(what);
    }

private:
    bool IsMain() const { return Application().MainForm() == &form_ || !MainWindow(); }

    // The client size at the form's DPI, centred in the work area.
    RECT Placement(DWORD style) const {
        const int dpi = form_.Dpi();
        RECT rect{0, 0, ScaleForDpi(form_.ClientWidth(), dpi),
                  ScaleForDpi(form_.ClientHeight(), dpi)};
        AdjustForDpi(rect, style, form_.Menu() != nullptr, dpi);
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        const int left = work.left + (work.right - work.left - width) / 2;
        const int top = work.top + (work.bottom - work.top - height) / 2;
        return {left, top, left + width, top + height};
    }

    static void AdjustForDpi(RECT& rect, DWORD style, bool menu, int dpi) {
        using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
        static const auto adjust = reinterpret_cast<Adjust>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
        if (adjust)
            adjust(&rect, style, menu, WS_EX_CONTROLPARENT, static_cast<UINT>(dpi));
        else
            AdjustWindowRectEx(&rect, style, menu, WS_EX_CONTROLPARENT);
    }

    void SetIcons() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const wchar_t* name = Wide(form_.IconResource());
        bigIcon_.Reset(
            static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                          GetSystemMetrics(SM_CYICON), 0)));
        smallIcon_.Reset(
            static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0)));
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    }

    void CreateMenuBar() {
        const TMainMenu* menu = form_.Menu();
        if (!menu) return;
        menu_.Reset(CreateMenu());
        for (int i = 0; i < menu->Count(); ++i)
            AppendMenuW(menu_.Get(), MF_STRING, kFirstMenuCommand + i,
                        Wide(menu->Items(i)->Caption()));
        SetMenu(Handle(), menu_.Get());
    }

    bool OnMenu(UINT command) {
        const TMainMenu* menu = form_.Menu();
        const int index = static_cast<int>(command) - static_cast<int>(kFirstMenuCommand);
        if (!menu || index < 0 || index >= menu->Count()) return false;
        menu->Items(index)->Click();
        return true;
    }

    void OnDpiChanged(int dpi, const RECT& suggested) {
        RECT client;
        GetClientRect(Handle(), &client);
        form_.ClientResized(client.right, client.bottom, dpi);
        ForEachPeer(form_, [](Peer& peer) { peer.Update(TChange::font); });
        SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void RestoreFocus() {
        HWND target = lastFocus_ && IsChild(Handle(), lastFocus_) ? lastFocus_ : nullptr;
        if (!target && form_.ActiveControl())
            if (auto* peer = static_cast<WindowPeer*>(form_.ActiveControl()->GetPeer()))
                target = peer->Handle();
        if (target) SetFocus(target);
    }

    TForm& form_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueMenu menu_;
    HWND lastFocus_ = nullptr;
};

}  // namespace

std::unique_ptr<Peer> CreateFormPeer(TForm& form) {
    return std::make_unique<FormPeer>(form);
}

HWND MainWindow() {
    const TForm* main = Application().MainForm();
    const auto* peer = main ? static_cast<const WindowPeer*>(main->GetPeer()) : nullptr;
    return peer ? peer->Handle() : nullptr;
}

}  // namespace ui::win32
