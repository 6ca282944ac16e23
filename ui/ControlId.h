#pragma once
// Dialog identifier of a control, derived from its designer name ("SpeedButton1", "Edit3").
// The win32 backend gives every control this identifier, so a test that drives the real window
// from another process finds a control by name without knowing the order the form created it in.
#include <cstdint>
#include <string_view>

namespace ui {

// FNV-1a over the UTF-16 code units, folded into 1000..32767 (clear of IDOK, IDCANCEL and the
// identifiers the system's own dialogs use for their text and icon).
template <typename Char>
constexpr int ControlId(std::basic_string_view<Char> name)
{
    std::uint32_t hash = 2166136261u;
    for (Char c : name) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 16777619u;
    }
    return 1000 + static_cast<int>(hash % (32768u - 1000u));
}

constexpr int ControlId(const char16_t* name) { return ControlId(std::u16string_view(name)); }
constexpr int ControlId(const wchar_t* name) { return ControlId(std::wstring_view(name)); }
constexpr int ControlId(const char* name) { return ControlId(std::string_view(name)); }

} // namespace ui
