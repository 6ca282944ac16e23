// The command-line tool on any bytes as a package file: `cofrex inspect` and then
// `cofrex unlock` with a fixed password into an empty folder. Either command ends with
// exit code 0, 1 (wrong password) or 3 (unsound package, failed unlock); an error is
// one line "cofrex: ..." on standard error (inspect reports an unsound package on
// standard output); a failed unlock leaves the folder empty, and a success leaves only
// the file of the stored name there.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/unlock_support.h"
#include "rtl/String.h"

namespace {

namespace fs = std::filesystem;

class RecordingConsole : public cli::Console {
public:
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override { err += text; }
    std::optional<std::string> ReadInputLine() override { return password; }
    std::optional<std::string> ReadHiddenLine(std::string_view) override { return std::nullopt; }
    bool ErrIsTerminal() override { return false; }

    std::string out, err;
    std::string password = rtl::Utf8Encode(fuzz::kUnlockPassword);
};

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path());
    return names;
}

// Runs one command with a fresh console; checks the exit code and that a failure
// reaches the user: one line "cofrex: ..." on standard error or, from inspect, the
// report of an unsound package.
int Run(const std::vector<std::string>& args, RecordingConsole& console) {
    console.out.clear();
    console.err.clear();
    const int code = cli::RunCofrex(args);
    fuzz::Check(code == 0 || code == 1 || code == 3, "an exit code other than 0, 1 or 3");
    const bool oneLine =
        console.err.rfind("cofrex: ", 0) == 0 && console.err.find('\n') == console.err.size() - 1;
    fuzz::Check(console.err.empty() || oneLine, "an error that is not one line \"cofrex: ...\"");
    if (code != 0)
        fuzz::Check(oneLine || (args[0] == "inspect" && !console.out.empty()),
                    "a failure that tells the user nothing");
    return code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchFolder scratch("cofrex-cli-fuzz");
    const fs::path package = scratch.Path() / "package.exe";
    const fs::path out = scratch.Path() / "out";
    fs::create_directories(out);
    std::ofstream(package, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    RecordingConsole console;
    cli::SetCurrentConsole(&console);
    Run({"inspect", package.string()}, console);
    const int unlocked =
        Run({"unlock", package.string(), "-C", out.string(), "--password-stdin"}, console);
    fuzz::Check(unlocked == 0 || !console.err.empty(), "a failed unlock that tells nothing");
    cli::SetCurrentConsole(nullptr);

    const std::vector<fs::path> left = FilesIn(out);
    if (unlocked != 0) {
        fuzz::Check(left.empty(), "a failed unlock left a file");
    } else {
        fuzz::Check(left.size() == 1, "an unlock left more than its file");
        fuzz::Check(console.out == left.front().string() + "\n",
                    "an unlock does not name the file it wrote");
    }
    return 0;
}
