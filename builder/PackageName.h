#pragma once
// The name a package is proposed under, by the locker and the command-line tool alike.
#include "rtl/String.h"

namespace builder {

// The target's file name without folder and extension, followed by "_encrypted.exe".
rtl::String ProposedPackageName(const rtl::String& target);

}  // namespace builder
