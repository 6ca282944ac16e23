#pragma once
// The command line of one command: operands, and options from a fixed list,
// written "-o VALUE", "--output VALUE" or "--output=VALUE"; "--" ends the options.
#include <map>
#include <span>
#include <string>
#include <vector>

#include "rtl/String.h"

namespace cli {

struct OptionSpec {
    const char* shortName;  // "-o", or nullptr
    const char* longName;   // "--output"
    bool takesValue;
};

struct Arguments {
    std::vector<std::string> operands;
    // By long name; a flag maps to an empty value.
    std::map<std::string, std::string> options;

    bool Has(const std::string& longName) const { return options.count(longName) != 0; }
    std::string Value(const std::string& longName) const {
        const auto found = options.find(longName);
        return found == options.end() ? std::string() : found->second;
    }
};

// Throws CommandError(kUsage) for an unknown option, a missing value or an
// option given twice.
Arguments ParseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> specs);

// A path given on the command line (UTF-8). Windows takes "/" as a folder separator
// too, but the builder splits paths at backslashes only: a target given as
// "src/a.txt" would store "src/a.txt" as its name, which no unlocker accepts.
rtl::String PathOperand(const std::string& utf8);

// Throws CommandError(kUsage) unless there are exactly `count` operands.
void ExpectOperands(const Arguments& arguments, size_t count, const char* usage);

}  // namespace cli
