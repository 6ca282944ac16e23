#include "cli/Commands.h"

#include <string_view>

#include "cli/CommandError.h"
#include "cli/Console.h"
#include "cli/InspectCommand.h"
#include "cli/LockCommand.h"
#include "cli/UnlockCommand.h"

#ifndef COFREX_VERSION
#define COFREX_VERSION "0"
#endif

namespace cli {
namespace {

struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string>& args);
    std::string_view usage;
};

constexpr Command kCommands[] = {
    {"lock", RunLockCommand,
     "lock FILE [-o PACKAGE] [--force] [--password-stdin]\n"
     "      Locks FILE into a package (default: FILE's name without extension and\n"
     "      \"_encrypted.exe\", beside it). An existing package is replaced only with --force."},
    {"unlock", RunUnlockCommand,
     "unlock PACKAGE [-C DIR] [--password-stdin]\n"
     "      Unlocks the package's file into DIR (default: the current directory) under\n"
     "      its stored name, replacing a file of that name once the new one is whole."},
    {"inspect", RunInspectCommand,
     "inspect PACKAGE\n"
     "      Shows the stored file name, the encrypted size, the salt, the check value and\n"
     "      whether the package is sound; asks no password."},
};

std::string Help() {
    std::string text = "usage: cofrex COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const Command& command : kCommands)
        text += "  cofrex " + std::string(command.usage) + "\n";
    text +=
        "\nThe password is read twice (lock) or once (unlock) from the terminal without echo;\n"
        "with --password-stdin, from the first line of standard input (UTF-8).\n"
        "A progress bar shows on standard error when it is a terminal.\n\n"
        "exit codes: 0 success, 1 wrong password, 2 usage error (also: no password,\n"
        "passwords differ, output exists without --force), 3 any other failure\n";
    return text;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) throw CommandError(kUsage, "no command: see cofrex --help");
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        CurrentConsole().Out(Help());
        return kSuccess;
    }
    if (name == "--version") {
        CurrentConsole().Out("cofrex " COFREX_VERSION "\n");
        return kSuccess;
    }
    for (const Command& command : kCommands) {
        if (name != command.name) continue;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (!rest.empty() && (rest.front() == "--help" || rest.front() == "-h")) {
            CurrentConsole().Out("usage: cofrex " + std::string(command.usage) + "\n");
            return kSuccess;
        }
        return command.run(rest);
    }
    throw CommandError(kUsage, "unknown command " + name + ": see cofrex --help");
}

// One line, whatever the message holds.
std::string OneLine(std::string message) {
    for (char& c : message)
        if (c == '\n' || c == '\r') c = ' ';
    return message;
}

}  // namespace

int RunCofrex(const std::vector<std::string>& args) {
    try {
        return Dispatch(args);
    } catch (const CommandError& error) {
        CurrentConsole().Err("cofrex: " + OneLine(error.what()) + "\n");
        return error.code;
    } catch (const std::exception& error) {
        CurrentConsole().Err("cofrex: " + OneLine(error.what()) + "\n");
        return kFailure;
    }
}

}  // namespace cli
