// Test fixture: a console program that runs in the same Wine session as the program under
// test and reads its windows, so a GUI test can find controls by designer name and check
// message boxes without screen scraping. Coordinates are screen pixels (the probe is DPI
// aware, so they are physical pixels at any scale). Commands:
//
//   winprobe find CAPTION [SECONDS]       "HWND LEFT TOP RIGHT BOTTOM" of the top-level window
//   winprobe controls CAPTION [SECONDS]   "ID CLASS LEFT TOP RIGHT BOTTOM TEXT" per child control
//                                          (line breaks in TEXT shown as \r and \n)
//   winprobe rect CAPTION CONTROL [SECONDS]
//                                          "LEFT TOP RIGHT BOTTOM" of one control; CONTROL is a
//                                          designer name ("SpeedButton1") or "#" and a dialog id
//   winprobe text CAPTION CONTROL [SECONDS]
//                                          the control's text
//   winprobe screen                       "dpi: N", "size: W H" and "tahoma: FACE", the face
//                                          the font mapper draws for Tahoma
//   winprobe msgbox CAPTION [SECONDS]     the message box's "caption:", "icon: yes|no", one
//                                          "text:" line per line of its text, "button:" per button
//   winprobe demo OUTFILE                 a small window and two message boxes to test the harness
//
// Windows are waited for up to SECONDS (default 20). Exit status: 0 found, 1 not found in
// time, 2 wrong usage.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/e2e/winprobe/demo.h"
#include "ui/ControlId.h"

namespace {

constexpr double kDefaultWaitSeconds = 20;

void Print(const std::wstring& line) {
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT rather than GetWindowText, which does not read other processes' controls.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring RectText(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    wchar_t text[64];
    std::swprintf(text, 64, L"%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return text;
}

struct Search {
    const wchar_t* caption;
    const wchar_t* className;  // null: any class
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(window) || TextOf(window) != search->caption) return TRUE;
    if (search->className != nullptr && ClassOf(window) != search->className) return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForWindow(const wchar_t* caption, const wchar_t* className, double seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        Search search{caption, className, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(50);
    }
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

int ControlIdFrom(const wchar_t* control) {
    if (control[0] == L'#') return static_cast<int>(std::wcstol(control + 1, nullptr, 10));
    return ui::ControlId(control);
}

bool IsIconStatic(HWND control) {
    return ClassOf(control) == L"Static" &&
           (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

int Find(HWND window) {
    wchar_t handle[32];
    std::swprintf(handle, 32, L"%p", static_cast<void*>(window));
    Print(std::wstring(handle) + L" " + RectText(window));
    return 0;
}

std::wstring OneLine(std::wstring text) {
    for (size_t at = 0; (at = text.find_first_of(L"\r\n", at)) != std::wstring::npos;) {
        text.replace(at, 1, text[at] == L'\r' ? L"\\r" : L"\\n");
    }
    return text;
}

int Controls(HWND window) {
    for (HWND child : ChildrenOf(window)) {
        Print(std::to_wstring(GetDlgCtrlID(child)) + L" " + ClassOf(child) + L" " +
              RectText(child) + L" " + OneLine(TextOf(child)));
    }
    return 0;
}

HWND FindControl(HWND window, const wchar_t* control) {
    const int id = ControlIdFrom(control);
    for (HWND child : ChildrenOf(window)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    std::fwprintf(stderr, L"winprobe: no control %ls (id %d)\n", control, id);
    return nullptr;
}

void PrintLines(const wchar_t* label, const std::wstring& text) {
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        Print(label + line);
        if (end == std::wstring::npos) return;
        start = end + 1;
    }
}

int MessageBoxReport(HWND box) {
    Print(L"caption: " + TextOf(box));
    bool icon = false;
    for (HWND child : ChildrenOf(box)) {
        if (IsIconStatic(child)) {
            icon = icon || (IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0);
        }
    }
    Print(std::wstring(L"icon: ") + (icon ? L"yes" : L"no"));
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) == L"Static" && !IsIconStatic(child) && IsWindowVisible(child)) {
            PrintLines(L"text: ", TextOf(child));
        }
    }
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) == L"Button" && IsWindowVisible(child))
            Print(L"button: " + TextOf(child));
    }
    return 0;
}

// The screen's DPI and the face the font mapper gives for Tahoma: a prefix without the
// Tahoma files silently draws with another face.
int Screen() {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"Tahoma");
    HGDIOBJ old = SelectObject(screen, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    Print(L"dpi: " + std::to_wstring(GetDeviceCaps(screen, LOGPIXELSY)));
    Print(L"size: " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" " +
          std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
    Print(std::wstring(L"tahoma: ") + face);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return 0;
}

double SecondsArgument(int argc, wchar_t** argv, int index) {
    return argc > index ? std::wcstod(argv[index], nullptr) : kDefaultWaitSeconds;
}

int Usage() {
    std::fputs(
        "usage: winprobe find|controls|msgbox CAPTION [SECONDS]\n"
        "       winprobe rect|text CAPTION CONTROL [SECONDS]\n"
        "       winprobe screen\n"
        "       winprobe demo OUTFILE\n",
        stderr);
    return 2;
}

int NotFound(const wchar_t* caption) {
    std::fwprintf(stderr, L"winprobe: no window \"%ls\"\n", caption);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetProcessDPIAware();
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc == 2 && argv[1] == std::wstring(L"screen")) return Screen();
    if (argc < 3) return Usage();
    const std::wstring command = argv[1];
    if (command == L"demo") return winprobe::RunDemo(argv[2]);

    const bool ofControl = command == L"rect" || command == L"text";
    if (ofControl && argc < 4) return Usage();
    if (!ofControl && command != L"find" && command != L"controls" && command != L"msgbox") {
        return Usage();
    }
    const double seconds = SecondsArgument(argc, argv, ofControl ? 4 : 3);
    const wchar_t* className = command == L"msgbox" ? L"#32770" : nullptr;
    HWND window = WaitForWindow(argv[2], className, seconds);
    if (window == nullptr) return NotFound(argv[2]);

    if (command == L"find") return Find(window);
    if (command == L"controls") return Controls(window);
    if (command == L"msgbox") return MessageBoxReport(window);
    HWND control = FindControl(window, argv[3]);
    if (control == nullptr) return 1;
    Print(command == L"rect" ? RectText(control) : TextOf(control));
    return 0;
}
