#pragma once
// What the fault-injection tests share: an injector that fails one file operation or
// fills the disk, snapshots of a folder, and the rules a failed operation must keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"
#include "rtl/String.h"
#include "tests/builder/support.h"

namespace builder_test {

namespace fs = std::filesystem;
using platform::FileOperation;
using Files = std::map<std::string, std::vector<uint8_t>>;

// Fails the operation numbered `failAt` (counting only `only` when set), or lets the
// writes store `budget` bytes in all before the disk is full.
class Injector : public platform::FaultInjector {
public:
    int64_t failAt = -1;
    std::optional<FileOperation> only;
    int64_t budget = -1;

    bool fired = false;
    std::optional<FileOperation> failed;
    platform::Path failedPath;
    int64_t written = 0;

    bool Fails(FileOperation operation, const platform::Path& path) override {
        if (only && operation != *only) return false;
        if (seen_++ != failAt) return false;
        fired = true;
        failed = operation;
        failedPath = path;
        return true;
    }
    int64_t Room(int64_t count) override {
        const int64_t room = budget < 0 ? count : std::clamp<int64_t>(budget - written, 0, count);
        written += room;
        fired = fired || room < count;
        return room;
    }

private:
    int64_t seen_ = 0;
};

class Installed {
public:
    explicit Installed(platform::FaultInjector& injector) {
        platform::InstallFaultInjector(&injector);
    }
    ~Installed() { platform::InstallFaultInjector(nullptr); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
};

// Every file below `root` by relative path, and every folder with a final "/".
inline Files Snapshot(const rtl::String& root) {
    Files files;
    const fs::path base(root);
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        const std::string name = fs::relative(entry.path(), base).generic_string();
        if (entry.is_directory())
            files[name + "/"] = {};
        else
            files[name] = ReadAll(rtl::Str(entry.path().string()));
    }
    return files;
}

inline void Restore(const rtl::String& root, const Files& files) {
    for (const auto& entry : fs::directory_iterator(fs::path(root))) fs::remove_all(entry.path());
    for (const auto& [name, bytes] : files) {
        const fs::path path = fs::path(root) / name;
        fs::create_directories(path.parent_path());
        if (name.back() != '/') WriteAll(rtl::Str(path.string()), bytes);
    }
}

inline bool Mentions(const rtl::String& message, const std::set<rtl::String>& names) {
    return std::any_of(names.begin(), names.end(), [&](const rtl::String& name) {
        return message.find(name) != rtl::String::npos;
    });
}

// The system's own failure texts that name no file: the AES component's, the resource
// store's and the runtime's stream errors.
inline const std::set<rtl::String> kTextsWithoutFile = {
    u"Unable to create the file", u"Could not open file for writing.",
    u"Could not add resource.",   u"Could not write changes to file.",
    u"Erreur de lecture du flux", u"Erreur d'écriture du flux"};

// What a failed operation may leave behind, and whose files it may change.
struct FailureRules {
    std::set<std::string> mayChange;      // meant to be replaced by the operation
    std::set<std::string> mayStay;        // new files the failure rules allow
    std::set<rtl::String> namedFiles;     // one of them names the file concerned
    std::set<rtl::String> fixedMessages;  // the system's own texts, which name no file
};

// Checks the rules after an operation that failed with `message`; returns what broke.
inline std::string Broken(const Files& before, const Files& after, const FailureRules& rules,
                          const rtl::String& message) {
    std::string broken;
    for (const auto& [name, bytes] : before) {
        if (rules.mayChange.count(name)) continue;
        const auto found = after.find(name);
        if (found == after.end())
            broken += " lost " + name + ";";
        else if (found->second != bytes)
            broken += " altered " + name + ";";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name) && !rules.mayStay.count(name)) broken += " left " + name + ";";
    if (!rules.fixedMessages.count(message) && !Mentions(message, rules.namedFiles))
        broken += " the message names no file;";
    if (!broken.empty()) broken += " message: " + rtl::Utf8Encode(message);
    return broken;
}

}  // namespace builder_test
