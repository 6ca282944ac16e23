#pragma once
// Ctrl-C during a lock or an unlock: the signal only raises a flag; the operation
// notices it at its next progress step and throws Interrupted, so that the normal
// cleanup removes whatever it had created.
#include <stdexcept>

namespace cli {

struct Interrupted : std::runtime_error {
    Interrupted() : std::runtime_error("interrupted") {}
};

// Routes Ctrl-C (SIGINT, or the console's Ctrl-C and Ctrl-Break) to the flag.
void InstallInterruptHandler();
bool InterruptRequested();
// Raises the flag as the handler does; ClearInterrupt lowers it (tests).
void RequestInterrupt();
void ClearInterrupt();
// Throws Interrupted when the flag is raised.
void ThrowIfInterrupted();

}  // namespace cli
