#pragma once
#include <string>
#include <vector>

namespace cli {

// cofrex inspect PACKAGE: what a package stores, without its password. Exit code 0
// for a sound package, 3 when a resource is missing or malformed.
int RunInspectCommand(const std::vector<std::string>& args);

}  // namespace cli
