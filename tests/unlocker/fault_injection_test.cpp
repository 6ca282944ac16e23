// Every failure point of an unlock, one at a time: the unlocker's window on the headless
// backend and the rule every unlock writes its file by (builder::WriteUnlockedFile), with
// each file operation failing in turn and then the disk filling up after every amount of
// bytes. After each run: a file of the stored name is unchanged unless a successful unlock
// replaced it, the failure shows one message, and nothing is left behind (the encrypted
// copy "temp.txt", the store's "tempresource.txt", the partial file).
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "builder/OrvCofrex.h"
#include "builder/UnlockedFile.h"
#include "pe/resource_editor.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "rtl/Stream.h"
#include "tests/builder/fault_support.h"
#include "ui/headless/Driver.h"
#include "unlocker/MainFormUnlock.h"

namespace {

using builder_test::Files;
using builder_test::Injector;
using builder_test::Installed;
using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::Restore;
using builder_test::Snapshot;
using builder_test::WriteAll;
using platform::FileOperation;
using rtl::String;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr char16_t kPassword[] = u"pass word";
const std::string kStored = "here/Q3 report.xlsx";

// The files an unlock works on, and the system's own texts that name none (as the
// window shows them).
bool NamesTheFileOrIsTheSystemsOwn(const String& message) {
    for (const String& text : builder_test::kTextsWithoutFile)
        if (message == ui::ErrorDisplayText(text)) return true;
    return builder_test::Mentions(message, {u"Q3 report.xlsx", u"temp", u"tempresource.txt"});
}

// Checks the folder after a run that ended with `message` (none: a success that wrote
// `content` under the stored name); returns what broke. A file whose removal was the
// injected failure may stay after a success.
std::string Broken(const Files& before, Files after, const std::optional<String>& message,
                   const Bytes& content, const Injector& injector, const String& root) {
    Files expected = before;
    if (!message) expected[kStored] = content;
    if (!message && injector.failed == FileOperation::remove)
        for (const auto& [name, bytes] : after)
            if (injector.failedPath == root + builder_test::NativePath(name))
                expected[name] = bytes;
    std::string broken;
    for (const auto& [name, bytes] : expected) {
        const auto found = after.find(name);
        if (found == after.end())
            broken += " lost " + name + ";";
        else if (found->second != bytes)
            broken += " altered " + name + ";";
    }
    for (const auto& [name, bytes] : after)
        if (!expected.count(name)) broken += " left " + name + ";";
    if (message && !NamesTheFileOrIsTheSystemsOwn(*message))
        broken += " the message names no file;";
    if (!broken.empty() && message) broken += " message: " + rtl::Utf8Encode(*message);
    return broken;
}

// A package locked by the builder, its four resources held in memory; the folder "here",
// the current one, holds a file of the stored name and another file.
class UnlockFaults : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        content_ = Pattern(3000, 7);
        MakePackage();
        fs::create_directories(fs::path(Path(u"here")));
        WriteAll(Here(u"Q3 report.xlsx"), Pattern(10, 1));
        WriteAll(Here(u"keep.txt"), Pattern(30, 3));
        pristine_ = Snapshot(folder_);
        previousDirectory_ = fs::current_path();
    }
    void TearDown() override {
        platform::InstallFaultInjector(nullptr);
        fs::current_path(previousDirectory_);
        ui::headless::Reset();
        platform::SetRunningProgramResources(nullptr);
        ScratchFolder::TearDown();
    }

    String Here(const String& name) const { return Path(u"here") + rtl::PathDelim + name; }
    String Lock(const String& name) const { return Path(u"lock") + rtl::PathDelim + name; }

    void MakePackage() {
        fs::create_directories(fs::path(Path(u"lock")));
        WriteAll(Lock(u"Q3 report.xlsx"), content_);
        platform::MemoryResources locker;
        locker.Add(u"UNCOFREX", ReadAll(builder_test::FixtureExe()));
        platform::SetRunningProgramResources(&locker);
        TCofrex(Path(u"lock")).Execute(Lock(u"Q3 report.xlsx"), kPassword, Lock(u"package.exe"));
        platform::SetRunningProgramResources(nullptr);
        const Bytes image = ReadAll(Lock(u"package.exe"));
        const pe::ResourceEditor editor(image);
        for (const char16_t* name : {u"ENCRYPTEDFILE", u"SALT", u"FILENAME", u"HASH"}) {
            const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
            ASSERT_NE(data, nullptr);
            package_.Add(name, Bytes(data->bytes.begin(), data->bytes.end()));
        }
        fs::remove_all(fs::path(Path(u"lock")));
    }

    // One unlock with `injector` installed once the window is open, from the pristine
    // files. Returns the broken rules, or an empty text.
    std::string UnlockOnce(Injector& injector) {
        Restore(folder_, pristine_);
        fs::current_path(fs::path(Path(u"here")));
        platform::SetRunningProgramResources(&package_);
        ui::headless::Reset();
        ui::Application().Initialize();
        TForm2* form = nullptr;
        ui::Application().CreateForm(form);
        ui::Application().Run();
        ui::headless::Type(*form->Edit1, kPassword);
        {
            const Installed installed(injector);
            ui::headless::Click(*form->SpeedButton1);
        }
        const auto boxes = ui::headless::MessageBoxes();
        const bool ended = ui::Application().Terminated();
        fs::current_path(previousDirectory_);
        std::optional<String> message;
        if (!boxes.empty()) message = boxes.front().Text;
        if (!injector.fired && message)
            return " failed without an injected failure: " + rtl::Utf8Encode(*message);
        if (boxes.size() > 1) return " more than one message";
        if (message && (boxes.front().Icon != ui::TMsgIcon::stop || ended))
            return " an error that does not leave the window open: " + rtl::Utf8Encode(*message);
        if (!message && !ended) return " a success that leaves the window open";
        messages_.insert(message.value_or(u""));
        return Broken(pristine_, Snapshot(folder_), message, content_, injector, folder_);
    }

    Bytes content_;
    platform::MemoryResources package_;
    Files pristine_;
    fs::path previousDirectory_;
    std::set<String> messages_;
};

TEST_F(UnlockFaults, EveryFailingOperationOfAnUnlockKeepsTheRules) {
    int64_t point = 0;
    for (;; ++point) {
        ASSERT_LT(point, 2000) << "the unlock never ran without meeting the failure";
        Injector injector;
        injector.failAt = point;
        const std::string broken = UnlockOnce(injector);
        EXPECT_EQ(broken, "") << "operation " << point << " failed:" << broken;
        if (!injector.fired) break;
    }
    EXPECT_GT(point, 10) << "an unlock makes more file operations than that";
    EXPECT_GT(messages_.size(), 2u) << "the failures end in more than one way";
}

TEST_F(UnlockFaults, ADiskThatFillsUpAnywhereInAnUnlockKeepsTheRules) {
    Injector measure;
    ASSERT_EQ(UnlockOnce(measure), "");
    const int64_t total = measure.written;
    ASSERT_GT(total, 6000) << "the encrypted copy and the decrypted file are written";
    std::set<int64_t> budgets{0, 1, 15, 16, 17, total - 3000, total - 1};
    for (int64_t step = 1; step < 64; ++step) budgets.insert(total * step / 64);
    for (const int64_t budget : budgets) {
        Injector injector;
        injector.budget = budget;
        const std::string broken = UnlockOnce(injector);
        EXPECT_EQ(broken, "") << "disk full after " << budget << " of " << total
                              << " bytes:" << broken;
        EXPECT_TRUE(injector.fired) << budget;
    }
}

// The rule alone, as every unlock uses it: a file of the name is replaced whole or kept.
class UnlockedFileFaults : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        WriteAll(Path(u"notes.txt"), Pattern(10, 1));
        WriteAll(Path(u"notes.txt.part"), Pattern(20, 2));  // a user's, never touched
        pristine_ = Snapshot(folder_);
    }
    void TearDown() override {
        platform::InstallFaultInjector(nullptr);
        ScratchFolder::TearDown();
    }

    // One write of `content` with `injector` installed; returns the broken rules.
    std::string WriteOnce(Injector& injector, const Bytes& content) {
        Restore(folder_, pristine_);
        std::optional<String> message;
        {
            const Installed installed(injector);
            try {
                builder::WriteUnlockedFile(folder_, u"notes.txt", [&](const String& partial) {
                    rtl::TFileStream out(partial, rtl::fmCreate);
                    out.WriteBuffer(content.data(), static_cast<int64_t>(content.size()));
                });
            } catch (const rtl::Exception& e) {
                message = e.Message();
            }
        }
        if (!injector.fired && message)
            return " failed without an injected failure: " + rtl::Utf8Encode(*message);
        Files after = Snapshot(folder_);
        Files expected = pristine_;
        if (!message) expected["notes.txt"] = content;
        return after == expected ? "" : " the folder is not as it should be";
    }

    Files pristine_;
};

TEST_F(UnlockedFileFaults, EveryFailurePointReplacesTheFileWholeOrKeepsIt) {
    const Bytes content = Pattern(5000, 9);
    int64_t point = 0;
    for (;; ++point) {
        ASSERT_LT(point, 100);
        Injector injector;
        injector.failAt = point;
        EXPECT_EQ(WriteOnce(injector, content), "") << "operation " << point;
        if (!injector.fired) break;
    }
    EXPECT_GE(point, 3) << "a reservation, a write and a rename at least";
    for (const int64_t budget : {0, 1, 4096, 4999}) {
        Injector injector;
        injector.budget = budget;
        EXPECT_EQ(WriteOnce(injector, content), "") << "disk full after " << budget;
        EXPECT_TRUE(injector.fired);
    }
}

}  // namespace
