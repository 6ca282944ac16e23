// The system console on Windows: console handles are written in UTF-16
// (WriteConsoleW), redirected ones in UTF-8; the password is read from CONIN$
// with echo off; Ctrl-C and Ctrl-Break go to the console control handler.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "platform/Utf8.h"

namespace cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void Write(DWORD which, std::string_view text) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const std::u16string wide = platform::Utf8Decode(text);
        DWORD written;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    FILE* stream = which == STD_OUTPUT_HANDLE ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

struct Handle {
    HANDLE value;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
};

class Win32Console : public Console {
public:
    Win32Console() { _setmode(_fileno(stdin), _O_BINARY); }

    void Out(std::string_view text) override { Write(STD_OUTPUT_HANDLE, text); }
    void Err(std::string_view text) override { Write(STD_ERROR_HANDLE, text); }

    std::optional<std::string> ReadInputLine() override { return ReadStandardInputLine(); }

    std::optional<std::string> ReadHiddenLine(std::string_view prompt) override {
        const Handle in{CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr)};
        const Handle out{CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr)};
        DWORD saved;
        if (!IsConsole(out.value) || !GetConsoleMode(in.value, &saved)) return std::nullopt;
        const std::u16string wide = platform::Utf8Decode(prompt);
        DWORD count;
        WriteConsoleW(out.value, wide.data(), static_cast<DWORD>(wide.size()), &count, nullptr);
        SetConsoleMode(in.value,
                       (saved & ~ENABLE_ECHO_INPUT) | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT);
        std::u16string line;
        bool complete = false;
        wchar_t c;
        while (ReadConsoleW(in.value, &c, 1, &count, nullptr) && count == 1) {
            if (c == L'\n') {
                complete = true;
                break;
            }
            if (c != L'\r') line.push_back(static_cast<char16_t>(c));
        }
        SetConsoleMode(in.value, saved);
        WriteConsoleW(out.value, L"\r\n", 2, &count, nullptr);
        ThrowIfInterrupted();
        if (!complete && line.empty()) return std::nullopt;
        return platform::Utf8Encode(line);
    }

    bool ErrIsTerminal() override { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }
};

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    RequestInterrupt();
    return TRUE;
}

}  // namespace

Console& SystemConsole() {
    static Win32Console console;
    return console;
}

void InstallInterruptHandler() {
    SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace cli
