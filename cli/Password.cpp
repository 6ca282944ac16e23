#include "cli/Password.h"

#include <algorithm>
#include <optional>

#include "cli/CommandError.h"
#include "rtl/String.h"

namespace cli {
namespace {

// Overwrites the bytes of a typed password when they go out of scope.
struct Typed {
    std::optional<std::string> line;
    ~Typed() {
        if (line) std::fill(line->begin(), line->end(), '\0');
    }
};

rtl::String ReadOnce(Console& console, bool fromInput, std::string_view prompt) {
    Typed typed{fromInput ? console.ReadInputLine() : console.ReadHiddenLine(prompt)};
    if (!typed.line)
        throw CommandError(kUsage, fromInput ? "no password on standard input"
                                             : "no terminal to read the password from: "
                                               "give it on standard input with --password-stdin");
    if (typed.line->empty()) throw CommandError(kUsage, "Enter a password");
    return rtl::Utf8Decode(*typed.line);
}

}  // namespace

rtl::String ReadNewPassword(Console& console, bool fromInput) {
    rtl::String password = ReadOnce(console, fromInput, "Password: ");
    if (fromInput) return password;
    rtl::String confirmed = ReadOnce(console, false, "Confirm password: ");
    const bool same = confirmed == password;
    std::fill(confirmed.begin(), confirmed.end(), u'\0');
    if (!same) {
        std::fill(password.begin(), password.end(), u'\0');
        throw CommandError(kUsage, "The passwords are not identical!");
    }
    return password;
}

rtl::String ReadPassword(Console& console, bool fromInput) {
    return ReadOnce(console, fromInput, "Password: ");
}

}  // namespace cli
