#pragma once
// In-process runs of cofrex commands: a console that records what they write and
// answers their reads, the real unlocker of this build as the carried one, and a
// scratch folder that is also the application-data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "platform/Resources.h"
#include "rtl/String.h"
#include "tests/support/scratch_folder.h"

namespace cli_test {

namespace fs = std::filesystem;

class TestConsole : public cli::Console {
public:
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override {
        err += text;
        if (onErr) onErr(text);
    }
    std::optional<std::string> ReadInputLine() override {
        if (input.empty()) return std::nullopt;
        std::string line = input.front();
        input.erase(input.begin());
        return line;
    }
    std::optional<std::string> ReadHiddenLine(std::string_view prompt) override {
        if (!terminal || typed.empty()) return std::nullopt;
        prompts.emplace_back(prompt);
        std::string line = typed.front();
        typed.erase(typed.begin());
        return line;
    }
    bool ErrIsTerminal() override { return terminal; }

    std::string out, err;
    std::vector<std::string> input;  // lines of standard input
    std::vector<std::string> typed;  // lines typed on the terminal
    std::vector<std::string> prompts;
    bool terminal = false;
    std::function<void(std::string_view)> onErr;
};

inline std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    return bytes;
}

// UTF-8 names, as the commands take them; file system paths from them.
inline fs::path Native(const std::string& utf8) {
    return fs::path(rtl::Utf8Decode(utf8));
}

inline std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(Native(folder)))
        names.insert(rtl::Utf8Encode(entry.path().filename().u16string()));
    return names;
}

class CliTest : public test_support::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        folder8_ = rtl::Utf8Encode(folder_);
#ifdef _WIN32
        // Parameterised suites put "/" in the folder's name; the tool shows it as "\\".
        std::replace(folder8_.begin(), folder8_.end(), '/', '\\');
#endif
        const std::vector<uint8_t> unlocker = ReadBytes(COFREX_UNLOCKER_EXE);
        ASSERT_FALSE(unlocker.empty()) << COFREX_UNLOCKER_EXE;
        carried_.Add(u"UNCOFREX", unlocker);
        platform::SetRunningProgramResources(&carried_);
#ifndef _WIN32
        // The builder's copy of the last package goes here, not into the user's folder.
        setenv("XDG_DATA_HOME", (folder8_ + "appdata").c_str(), 1);
#endif
        cli::SetCurrentConsole(&console_);
        cli::ClearInterrupt();
    }
    void TearDown() override {
        cli::SetCurrentConsole(nullptr);
        platform::SetRunningProgramResources(nullptr);
        cli::ClearInterrupt();
        ScratchFolder::TearDown();
    }

    // Runs cofrex with a fresh console; `input` lines are its standard input.
    int Run(std::vector<std::string> args, std::vector<std::string> input = {}) {
        console_.out.clear();
        console_.err.clear();
        console_.input = std::move(input);
        return cli::RunCofrex(args);
    }
    // `name` in the scratch folder, with the system's folder separator.
    std::string Path8(std::string name) const {
#ifdef _WIN32
        std::replace(name.begin(), name.end(), '/', '\\');
#endif
        return folder8_ + name;
    }
    void MakeFolder(const std::string& name) const {
        fs::create_directories(Native(Path8(name)));
    }
    // Locks `content`, saved as src/`name`, into the package `name`.exe.
    std::string LockFile(const std::string& name, const std::vector<uint8_t>& content,
                         const std::string& password) {
        MakeFolder("src");
        const std::string target = Path8("src/" + name);
        WriteBytes(Native(target), content);
        const std::string package = Path8(name + ".exe");
        EXPECT_EQ(Run({"lock", target, "-o", package, "--password-stdin"}, {password}), 0)
            << console_.err;
        return package;
    }

    std::string folder8_;
    platform::MemoryResources carried_;
    TestConsole console_;
};

}  // namespace cli_test
