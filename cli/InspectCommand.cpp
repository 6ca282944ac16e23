#include "cli/InspectCommand.h"

#include "cli/Arguments.h"
#include "cli/CommandError.h"
#include "cli/Console.h"
#include "cli/Package.h"
#include "rtl/String.h"

namespace cli {
namespace {

constexpr char kUsageLine[] = "cofrex inspect PACKAGE";

std::string TextOrMissing(const std::optional<rtl::String>& text) {
    return text ? Utf8(*text) : "(missing)";
}

std::string Structure(const std::vector<std::string>& problems) {
    if (problems.empty()) return "sound";
    std::string line = "unsound: ";
    for (size_t i = 0; i < problems.size(); ++i) line += (i ? "; " : "") + problems[i];
    return line;
}

}  // namespace

int RunInspectCommand(const std::vector<std::string>& args) {
    const Arguments arguments = ParseArguments(args, {});
    ExpectOperands(arguments, 1, kUsageLine);
    const Package package(PathOperand(arguments.operands[0]));
    const std::vector<std::string> problems = package.Problems();
    const auto& encrypted = package.EncryptedFile();
    CurrentConsole().Out("File name:      " + TextOrMissing(package.FileName()) + "\n" +
                         "Encrypted size: " +
                         (encrypted ? std::to_string(encrypted->size()) + " bytes" : "(missing)") +
                         "\n" + "Salt:           " + TextOrMissing(package.Salt()) + "\n" +
                         "Check value:    " + TextOrMissing(package.CheckValue()) + "\n" +
                         "Structure:      " + Structure(problems) + "\n");
    return problems.empty() ? kSuccess : kFailure;
}

}  // namespace cli
