// The lock: the package builder TCofrex, as the locker runs it, with the unlocker
// this program carries. An existing package is replaced only with --force, and then
// only once the new one is whole: the lock writes a free name beside it first.
#include "cli/LockCommand.h"

#include <algorithm>
#include <filesystem>

#include "builder/CreatedFiles.h"
#include "builder/OrvCofrex.h"
#include "builder/PackageName.h"
#include "builder/UniqueName.h"
#include "cli/Arguments.h"
#include "cli/CommandError.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/Package.h"
#include "cli/Password.h"
#include "cli/Progress.h"
#include "platform/File.h"
#include "platform/Program.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"

namespace cli {
namespace {

constexpr char kUsageLine[] = "cofrex lock FILE [-o PACKAGE] [--force] [--password-stdin]";
constexpr OptionSpec kOptions[] = {
    {"-o", "--output", true},
    {"-f", "--force", false},
    {nullptr, "--password-stdin", false},
};

struct WipeOnExit {
    rtl::String& secret;
    ~WipeOnExit() { std::fill(secret.begin(), secret.end(), u'\0'); }
};

int64_t SizeOf(const rtl::String& target) {
    try {
        return rtl::TFileStream(target, rtl::fmOpenRead | rtl::fmShareDenyWrite).Size();
    } catch (const rtl::Exception& error) {
        throw CommandError(kFailure, Utf8(target) + ": cannot be locked: " + error.what());
    }
}

// The builder leaves a copy of the last package in the application-data folder,
// which a fresh account may not have yet.
rtl::String UnlockerFolder() {
    const rtl::String folder = platform::AppDataFolder();
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::create_directories(std::filesystem::path(Utf8(folder)), ignored);
    return folder;
}

// A free name beside `output` for the new package; the builder wants a name that
// does not exist, so the reserved file is removed again at once.
rtl::String StagingName(const rtl::String& output) {
    const rtl::String name = builder::ReserveFreeName(rtl::ExtractFilePath(output),
                                                      rtl::ExtractFileName(output) + u".part");
    platform::RemoveFile(name);
    return name;
}

void Lock(const rtl::String& target, const rtl::String& password, const rtl::String& output) {
    ProgressBar bar(CurrentConsole(), "Locking", SizeOf(target));
    TCofrex cofrex(UnlockerFolder());
    cofrex.SetOnChange([&](rtl::TObject*) {
        ThrowIfInterrupted();
        bar.Update(cofrex.Progress());
    });
    builder::CreatedFiles created;
    const bool replacing = platform::FileExists(output);
    const rtl::String written = replacing ? StagingName(output) : output;
    cofrex.Execute(target, password, written);
    created.Add(written);
    // A Ctrl-C after the last progress step still cancels the whole lock.
    ThrowIfInterrupted();
    if (replacing && !platform::RenameFileReplacing(written, output))
        throw rtl::Exception(u"The package could not replace \"" + output + u"\". " +
                             platform::LastErrorText() + u".");
    created.Commit();
}

}  // namespace

int RunLockCommand(const std::vector<std::string>& args) {
    const Arguments arguments = ParseArguments(args, kOptions);
    ExpectOperands(arguments, 1, kUsageLine);
    const rtl::String target = PathOperand(arguments.operands[0]);
    const rtl::String output = arguments.Has("--output") ? PathOperand(arguments.Value("--output"))
                                                         : rtl::ExtractFilePath(target) +
                                                               builder::ProposedPackageName(target);
    if (!platform::FileExists(target))
        throw CommandError(kFailure, Utf8(target) + ": no such file");
    if (platform::FileExists(output) && !arguments.Has("--force"))
        throw CommandError(kUsage, Utf8(output) + ": already exists: give --force to replace it");

    rtl::String password = ReadNewPassword(CurrentConsole(), arguments.Has("--password-stdin"));
    const WipeOnExit passwordWipe{password};
    try {
        Lock(target, password, output);
    } catch (const Interrupted&) {
        throw CommandError(kFailure, "interrupted: " + Utf8(output) + " was not written");
    } catch (const CommandError&) {
        throw;
    } catch (const std::exception& error) {
        throw CommandError(kFailure, Utf8(output) + ": not locked: " + error.what());
    }
    CurrentConsole().Out(Utf8(output) + "\n");
    return kSuccess;
}

}  // namespace cli
