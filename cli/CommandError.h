#pragma once
// How a command fails: an exit code and one line for standard error.
#include <stdexcept>
#include <string>

namespace cli {

// Exit codes of every command.
enum ExitCode : int {
    kSuccess = 0,
    kWrongPassword = 1,
    // The command was refused before it started: arguments, password entry, an
    // output that exists without --force.
    kUsage = 2,
    kFailure = 3,
};

struct CommandError : std::runtime_error {
    CommandError(ExitCode code, const std::string& message)
        : std::runtime_error(message), code(code) {}
    ExitCode code;
};

}  // namespace cli
