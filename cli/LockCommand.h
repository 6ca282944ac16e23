#pragma once
#include <string>
#include <vector>

namespace cli {

// cofrex lock FILE [-o PACKAGE] [--force] [--password-stdin]
int RunLockCommand(const std::vector<std::string>& args);

}  // namespace cli
