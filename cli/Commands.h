#pragma once
// The program cofrex: the command named by the first argument, --help and --version.
#include <string>
#include <vector>

namespace cli {

// Runs the command line (without the program name) and returns the exit code.
// Every error ends up as one line "cofrex: ..." on the current console's error.
int RunCofrex(const std::vector<std::string>& args);

}  // namespace cli
