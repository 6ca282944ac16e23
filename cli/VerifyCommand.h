#pragma once
#include <string>
#include <vector>

namespace cli {

// cofrex verify PACKAGE [--unlocker FILE]: whether PACKAGE is exactly what the lock makes
// from the unlocker this program carries (or from FILE, another release's unlocker). Prints
// one line: genuine, with the unlocker's version and SHA-256, or not genuine and why.
// Nothing is run or decrypted. Exit code 0 genuine, 2 usage, 3 anything else.
int RunVerifyCommand(const std::vector<std::string>& args);

}  // namespace cli
