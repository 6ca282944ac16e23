// The unlocker's window on the headless backend, with a package whose four resources
// come from the input (unlock_support.h), unlocked with a fixed password in a scratch
// folder that is both the current and the temporary folder. After every attempt:
// success shows no message and leaves the decrypted file under the stored name and
// nothing else; a wrong password shows "Bad password" and an error one message with
// the error icon, and both leave the folder as it was, a file of the stored name
// that was there before included.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "crypto/Argon2KeyDerivation.h"
#include "crypto/HashObj.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/unlock_support.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/TextFile.h"
#include "ui/headless/Driver.h"
#include "unlocker/MainFormUnlock.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Files = std::map<fs::path, Bytes>;

const Bytes kExistingContent = {'k', 'e', 'e', 'p', ' ', 'm', 'e'};

Files Snapshot(const fs::path& folder) {
    Files files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return files;
}

// The first line of a text resource, or nothing when it holds none.
std::optional<rtl::String> TextOf(std::span<const uint8_t> bytes) {
    try {
        return rtl::LoadFirstLine({reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                  platform::AnsiCodePage());
    } catch (const rtl::Exception&) {
        return std::nullopt;
    }
}

Bytes TextResource(const rtl::String& line) {
    const std::string text = rtl::SaveOneLineText(line, platform::AnsiCodePage());
    return Bytes(text.begin(), text.end());
}

// The check value a lock stores for the password and `salt`.
rtl::String CheckValue(const rtl::String& salt) {
    TArgon2KeyDerivation argon;
    argon.SetStringSalt(salt);
    return TSHA2Hash(256, TConvertType::base64, TUnicode::yesUni)
        .Hash(fuzz::kUnlockPassword + argon.StringSalt());
}

platform::MemoryResources Package(const fuzz::UnlockInput& input) {
    platform::MemoryResources package;
    if (!(input.flags & fuzz::kNoSalt))
        package.Add(u"SALT", {input.salt.begin(), input.salt.end()});
    if (!(input.flags & fuzz::kNoHash))
        package.Add(u"HASH", {input.hash.begin(), input.hash.end()});
    if (!(input.flags & fuzz::kNoFileName))
        package.Add(u"FILENAME", {input.fileName.begin(), input.fileName.end()});
    if (!(input.flags & fuzz::kNoEncryptedFile))
        package.Add(u"ENCRYPTEDFILE", {input.encryptedFile.begin(), input.encryptedFile.end()});
    const auto salt = TextOf(input.salt);
    if ((input.flags & fuzz::kRightHash) && !(input.flags & fuzz::kNoHash) && salt)
        package.Add(u"HASH", TextResource(CheckValue(*salt)));
    return package;
}

// A file of the stored name, when the input asks for one and the name can be a file.
void PlaceExistingFile(const fuzz::UnlockInput& input, const fs::path& folder) {
    const auto name = TextOf(input.fileName);
    if (!(input.flags & fuzz::kExistingFile) || !name || !rtl::IsBareFileName(*name)) return;
    std::ofstream(folder / fs::path(*name), std::ios::binary)
        .write(reinterpret_cast<const char*>(kExistingContent.data()),
               static_cast<std::streamsize>(kExistingContent.size()));
}

struct Outcome {
    std::vector<ui::headless::MessageBoxShown> boxes;
    std::vector<rtl::String> opened;
    bool ended = false;
};

// Starts the unlocker as its entry point does, in `folder`, and types the password
// (libFuzzer reads its corpus from the folder it started in, which comes back after).
Outcome Unlock(const platform::ProgramResources& package, bool openAfterwards,
               const fs::path& folder) {
    const fs::path started = fs::current_path();
    fs::current_path(folder);
    platform::SetRunningProgramResources(&package);
    ui::headless::Reset();
    ui::Application().Initialize();
    ui::Application().SetTitle(u"Package");
    TForm2* form = nullptr;
    ui::Application().CreateForm(form);
    ui::Application().Run();
    ui::headless::Type(*form->Edit1, fuzz::kUnlockPassword);
    if (openAfterwards) ui::headless::Click(*form->CheckBox1);
    ui::headless::Click(*form->SpeedButton1);
    Outcome outcome{ui::headless::MessageBoxes(), ui::headless::ShellOpenRequests(),
                    ui::Application().Terminated()};
    ui::headless::Reset();
    platform::SetRunningProgramResources(nullptr);
    fs::current_path(started);
    return outcome;
}

void CheckSuccess(const Files& before, const Files& after, const fuzz::UnlockInput& input,
                  const Outcome& outcome) {
    fuzz::Check(outcome.ended, "the window stays open after an unlock without a message");
    const rtl::String name = *TextOf(input.fileName);
    const fs::path file(name);
    fuzz::Check(after.count(file) == 1, "an unlock without a message wrote no file");
    Files expected = before;
    expected[file] = after.at(file);
    fuzz::Check(after == expected, "an unlock left or removed another file");
    const bool open = (input.flags & fuzz::kOpenAfterwards) != 0;
    fuzz::Check(outcome.opened == (open ? std::vector{name} : std::vector<rtl::String>{}),
                "the file opened is not the one asked for");
}

void CheckFailure(const Files& before, const Files& after, const Outcome& outcome) {
    fuzz::Check(outcome.boxes.size() == 1, "a failure shows more than one message");
    const auto& box = outcome.boxes.front();
    if (box.Text == u"Bad password") {
        fuzz::Check(box.Icon == ui::TMsgIcon::none && outcome.ended,
                    "a wrong password does not end the unlocker quietly");
    } else {
        fuzz::Check(box.Icon == ui::TMsgIcon::stop && !outcome.ended,
                    "an error does not leave the window open with the error icon");
    }
    fuzz::Check(after == before, "a failed unlock changed the folder");
    fuzz::Check(outcome.opened.empty(), "a failed unlock opened a file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchFolder scratch("cofrex-unlock-fuzz");
    setenv("TMPDIR", scratch.Path().c_str(), 1);
    const fuzz::UnlockInput input = fuzz::SplitUnlockInput({data, size});
    const platform::MemoryResources package = Package(input);
    PlaceExistingFile(input, scratch.Path());
    const Files before = Snapshot(scratch.Path());
    const Outcome outcome =
        Unlock(package, (input.flags & fuzz::kOpenAfterwards) != 0, scratch.Path());
    const Files after = Snapshot(scratch.Path());
    if (outcome.boxes.empty())
        CheckSuccess(before, after, input, outcome);
    else
        CheckFailure(before, after, outcome);
    return 0;
}
