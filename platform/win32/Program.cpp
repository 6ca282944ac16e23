#include "platform/Program.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/FaultInjection.h"

namespace platform {
namespace {

const wchar_t* Wide(const Path& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

Path RunningProgramFileName() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            return Path(reinterpret_cast<const char16_t*>(buffer.data()), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool ShellOpen(const Path& file, intptr_t owner) {
    const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", Wide(file),
                                           nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}

bool RenameFileReplacing(const Path& from, const Path& to) {
    if (InjectedFailure(FileOperation::rename, to))
        return RememberLastError(ERROR_WRITE_FAULT), false;
    if (MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING)) return true;
    RememberLastError(static_cast<int>(GetLastError()));
    return false;
}

}  // namespace platform
