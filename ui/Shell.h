#pragma once
// Hands a file to the program the system associates with it, owned by the main form.
#include "rtl/String.h"

namespace ui {

// Verb "open", no parameters, no working folder, normal window. The result is not
// examined and nothing waits for the program that opens.
void ShellOpen(const rtl::String& fileName);

}  // namespace ui
