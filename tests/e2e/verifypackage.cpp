// verifypackage PACKAGE --unlocker FILE: the command-line program's verify command as a
// Windows console fixture of the end-to-end tests, which check the packages the locker
// makes against the unlocker of the same build. It carries no unlocker of its own.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/VerifyCommand.h"
#include "platform/Utf8.h"

std::span<const uint8_t> EmbeddedUnlocker() {
    return {};
}

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(platform::Utf8Encode(reinterpret_cast<const char16_t*>(argv[i])));
    return cli::RunVerifyCommand(args);
}
