#pragma once
// The running program itself and the shell around it.
#include <cstdint>
#include <string>

#include "platform/File.h"

namespace platform {

// The full path of the running program's executable; empty when the system does
// not say (GetModuleFileNameW; /proc/self/exe).
Path RunningProgramFileName();

// Asks the shell to open `file` with the verb "open" and the program the system
// associates with it: no parameters, no working folder, a normal window, `owner`
// (a window handle, 0 for none) as the owner of whatever the shell shows. Does
// not wait; false when the request could not even be made.
bool ShellOpen(const Path& file, intptr_t owner);

// Renames `from` to `to`, replacing a file `to` in one step.
bool RenameFileReplacing(const Path& from, const Path& to);

}  // namespace platform
