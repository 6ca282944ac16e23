// The win32 backend: real windows, the system's dialogs and message boxes.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>

#include <algorithm>
#include <vector>

#include "platform/Program.h"
#include "ui/Forms.h"
#include "ui/Peer.h"
#include "ui/win32/ControlPeers.h"
#include "ui/win32/FormPeer.h"
#include "ui/win32/Window.h"

namespace ui {

TApplication& Application() {
    static TApplication application;
    return application;
}

namespace backend {
namespace {

// Tab moves between controls in TabOrder: their windows are put in that order.
void OrderForTabbing(TWinControl& parent) {
    std::vector<TWinControl*> focusable;
    for (int i = 0; i < parent.ControlCount(); ++i)
        if (auto* control = dynamic_cast<TWinControl*>(parent.Controls(i)))
            focusable.push_back(control);
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* control : focusable) {
        if (auto* peer = static_cast<win32::WindowPeer*>(control->GetPeer()))
            SetWindowPos(peer->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        OrderForTabbing(*control);
    }
}

HWND ActiveOwner() {
    const HWND active = GetActiveWindow();
    return active ? active : win32::MainWindow();
}

}  // namespace

void Initialize() {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    win32::RegisterWindowClasses();
}

std::unique_ptr<Peer> CreatePeer(TControl& control) {
    if (auto* form = dynamic_cast<TForm*>(&control)) return win32::CreateFormPeer(*form);
    return win32::CreateControlPeer(control);
}

int ScreenDpi() {
    using GetDpi = UINT(WINAPI*)();
    static const auto getDpiForSystem = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    if (getDpiForSystem) return static_cast<int>(getDpiForSystem());
    win32::WindowDc screen(nullptr);
    return GetDeviceCaps(screen.Dc(), LOGPIXELSY);
}

void ShowForm(TForm& form) {
    OrderForTabbing(form);
    const HWND window = static_cast<win32::WindowPeer*>(form.GetPeer())->Handle();
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void HideForm(TForm& form) {
    ShowWindow(static_cast<win32::WindowPeer*>(form.GetPeer())->Handle(), SW_HIDE);
}

void RunMessageLoop() {
    MSG message;
    while (!Application().Terminated() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void QuitMessageLoop() {
    PostQuitMessage(0);
}

void ShowMessageBox(const rtl::String& text, const rtl::String& caption, TMsgIcon icon) {
    MessageBoxW(ActiveOwner(), win32::Wide(text), win32::Wide(caption),
                MB_OK | (icon == TMsgIcon::stop ? MB_ICONSTOP : 0));
}

bool ExecuteFileDialog(TFileDialogKind kind, rtl::String& fileName) {
    std::vector<wchar_t> buffer(32768, L'\0');
    std::copy_n(fileName.begin(), std::min(fileName.size(), buffer.size() - 1), buffer.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ActiveOwner();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    const BOOL chosen =
        kind == TFileDialogKind::open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!chosen) return false;
    fileName = rtl::String(reinterpret_cast<const char16_t*>(buffer.data()));
    return true;
}

void ShellOpen(const rtl::String& fileName) {
    platform::ShellOpen(fileName, reinterpret_cast<intptr_t>(win32::MainWindow()));
}

}  // namespace backend
}  // namespace ui
