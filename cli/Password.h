#pragma once
// Passwords, typed on the terminal without echo or given on standard input
// (--password-stdin: its first line, UTF-8). Throws CommandError(kUsage) when
// there is none to read, for an empty one, or for two entries that differ.
#include "cli/Console.h"
#include "rtl/String.h"

namespace cli {

// The password of a new package: typed twice on the terminal, or one line of input.
rtl::String ReadNewPassword(Console& console, bool fromInput);
// The password of an existing package: typed once, or one line of input.
rtl::String ReadPassword(Console& console, bool fromInput);

}  // namespace cli
