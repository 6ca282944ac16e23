// Program cofrex: the command-line tool.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/EmbeddedUnlocker.h"
#include "cli/Interrupt.h"
#include "platform/Resources.h"
#include "rtl/String.h"

#ifdef _WIN32

// The program's own resources already hold the unlocker.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(rtl::Utf8Encode(reinterpret_cast<const char16_t*>(argv[i])));
    cli::InstallInterruptHandler();
    return cli::RunCofrex(args);
}

#else

// The builder reads the unlocker from the running program's resources.
int main(int argc, char** argv) {
    const std::span<const uint8_t> unlocker = EmbeddedUnlocker();
    platform::MemoryResources carried;
    carried.Add(u"UNCOFREX", std::vector<uint8_t>(unlocker.begin(), unlocker.end()));
    platform::SetRunningProgramResources(&carried);
    cli::InstallInterruptHandler();
    return cli::RunCofrex(std::vector<std::string>(argv + 1, argv + argc));
}

#endif
