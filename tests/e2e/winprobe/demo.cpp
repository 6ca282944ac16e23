#include "tests/e2e/winprobe/demo.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/ControlId.h"

namespace winprobe {
namespace {

constexpr UINT kShowBoxes = WM_APP + 1;
constexpr wchar_t kClassName[] = L"WinprobeDemo";
constexpr wchar_t kCaption[] = L"Winprobe demo";
constexpr wchar_t kBoxCaption[] = L"Winprobe";

struct Demo {
    const wchar_t* outputFile;
    int dpi;
    HFONT font;
    HWND edit;
    int exitCode;
};

int Scaled(const Demo& demo, int pixelsAt96) {
    return MulDiv(pixelsAt96, demo.dpi, 96);
}

HWND AddControl(HWND parent, const Demo& demo, const wchar_t* className, const wchar_t* name,
                const wchar_t* text, DWORD style, RECT at96) {
    HWND control = CreateWindowExW(
        className == std::wstring(L"Edit") ? WS_EX_CLIENTEDGE : 0, className, text,
        WS_CHILD | WS_VISIBLE | style, Scaled(demo, at96.left), Scaled(demo, at96.top),
        Scaled(demo, at96.right - at96.left), Scaled(demo, at96.bottom - at96.top), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ui::ControlId(name))), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(demo.font), TRUE);
    return control;
}

void CreateControls(HWND window, Demo& demo) {
    AddControl(window, demo, L"Static", L"Label1", L"Type a text, then press Save.", 0,
               {8, 8, 292, 24});
    demo.edit = AddControl(window, demo, L"Edit", L"Edit1", L"", WS_TABSTOP | ES_AUTOHSCROLL,
                           {8, 28, 208, 50});
    AddControl(window, demo, L"Button", L"Button1", L"Save", WS_TABSTOP | BS_PUSHBUTTON,
               {216, 27, 292, 51});
}

bool SaveText(const Demo& demo) {
    const int length = GetWindowTextLengthW(demo.edit);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(demo.edit, text.data(), length + 1)));
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    FILE* file = _wfopen(demo.outputFile, L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), file) == utf8.size();
    return std::fclose(file) == 0 && written;
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* demo = static_cast<Demo*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(demo));
    }
    auto* demo = reinterpret_cast<Demo*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE:
            CreateControls(window, *demo);
            PostMessageW(window, kShowBoxes, 0, 0);
            return 0;
        case kShowBoxes:
            MessageBoxW(window, L"This box has a stop icon.\nIt has two lines.", kBoxCaption,
                        MB_OK | MB_ICONSTOP);
            MessageBoxW(window, L"This box is plain.", kBoxCaption, MB_OK);
            SetFocus(demo->edit);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == ui::ControlId("Button1") && HIWORD(wParam) == BN_CLICKED) {
                demo->exitCode = SaveText(*demo) ? 0 : 1;
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(demo->exitCode);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HFONT DialogFont(int dpi) {
    return CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH, L"Tahoma");
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

int RunDemo(const wchar_t* outputFile) {
    Demo demo{outputFile, ScreenDpi(), nullptr, nullptr, 0};
    demo.font = DialogFont(demo.dpi);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DemoProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, Scaled(demo, 300), Scaled(demo, 60)};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window =
        CreateWindowExW(0, kClassName, kCaption, style, Scaled(demo, 100), Scaled(demo, 100),
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                        windowClass.hInstance, &demo);
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(demo.font);
    return static_cast<int>(message.wParam);
}

}  // namespace winprobe
