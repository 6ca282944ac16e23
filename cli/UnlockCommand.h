#pragma once
#include <string>
#include <vector>

namespace cli {

// cofrex unlock PACKAGE [-C DIR] [--password-stdin]
int RunUnlockCommand(const std::vector<std::string>& args);

}  // namespace cli
