// Every failure point of a lock and of a resource write, one at a time: each file
// operation and resource update in turn fails, then the disk fills up after every
// amount of bytes. After each run the rules hold: the target and the files that were
// there before are unchanged (the unlocker copy is meant to be replaced), the error
// reaches the caller as one rtl::Exception that names the file concerned, and only
// what the failure rules allow is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "builder/OrvCofrex.h"
#include "builder/ResourceStore.h"
#include "pe/resource_editor.h"
#include "platform/FaultInjection.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "tests/builder/fault_support.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using builder_test::Broken;
using builder_test::FailureRules;
using builder_test::Files;
using builder_test::Injector;
using builder_test::Installed;
using builder_test::kTextsWithoutFile;
using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::Restore;
using builder_test::Snapshot;
using builder_test::WriteAll;
using platform::FileOperation;
using rtl::String;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class FaultInjection : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        for (const char16_t* folder : {u"in", u"appdata", u"out"})
            fs::create_directories(fs::path(Path(folder)));
        unlocker_ = ReadAll(builder_test::FixtureExe());
        embedded_.Add(u"UNCOFREX", unlocker_);
        platform::SetRunningProgramResources(&embedded_);
        WriteAll(In(u"secret.pdf"), Pattern(3000, 7));
        // Users' own files with the names the lock reserves: never to be touched.
        WriteAll(In(u"resource.txt"), Pattern(10, 1));
        WriteAll(Out(u"UnCofrex.exe"), Pattern(20, 2));
        WriteAll(Out(u"keep.txt"), Pattern(30, 3));
        pristine_ = Snapshot(folder_);
    }
    void TearDown() override {
        platform::InstallFaultInjector(nullptr);
        platform::SetRunningProgramResources(nullptr);
        ScratchFolder::TearDown();
    }
    String In(const String& name) { return Path(u"in") + rtl::PathDelim + name; }
    String Out(const String& name) { return Path(u"out") + rtl::PathDelim + name; }

    static FailureRules LockRules() {
        return {{"appdata/UnCofrex.exe"},
                {"appdata/UnCofrex.exe", "tempresource.txt"},
                {u"secret.pdf", u"resource", u"UnCofrex", u"report.exe", u"tempresource.txt"},
                kTextsWithoutFile};
    }

    // One lock with `injector` installed, from the pristine files. Returns the broken
    // rules, or an empty text; `fired` tells whether the injected failure was met.
    std::string LockOnce(Injector& injector) {
        Restore(folder_, pristine_);
        std::optional<String> message;
        {
            TCofrex builder(Path(u"appdata"));
            const Installed installed(injector);
            try {
                builder.Execute(In(u"secret.pdf"), u"pass word", Out(u"report.exe"));
            } catch (const rtl::Exception& e) {
                message = e.Message();
            } catch (const std::exception& e) {
                return std::string(" not an rtl::Exception: ") + e.what();
            }
        }
        const Files after = Snapshot(folder_);
        if (!message) return injector.fired ? CompleteLock(after, injector) : std::string();
        if (!injector.fired)
            return " failed without an injected failure: " + rtl::Utf8Encode(*message);
        return Broken(pristine_, after, LockRules(), *message);
    }

    // A lock that met a failure and still succeeded (a reserved name taken over by the
    // next one, a removal that failed) must have made the whole package, and may leave
    // nothing but the file it could not remove.
    std::string CompleteLock(const Files& after, const Injector& injector) {
        const auto package = after.find("out/report.exe");
        if (package == after.end()) return " succeeded without a package";
        try {
            const pe::ResourceEditor editor(package->second);
            for (const char16_t* name : {u"ENCRYPTEDFILE", u"SALT", u"FILENAME", u"HASH"})
                if (!editor.Find(pe::kRtRcData, name, pe::kLangNeutral))
                    return " succeeded with a resource missing";
        } catch (const std::exception& e) {
            return std::string(" succeeded with a damaged package: ") + e.what();
        }
        Files expected = pristine_;
        expected["out/report.exe"] = package->second;
        expected["appdata/UnCofrex.exe"] = package->second;
        std::string broken;
        for (const auto& [name, bytes] : after) {
            const bool unremoved = injector.failed == FileOperation::remove &&
                                   injector.failedPath == folder_ + builder_test::NativePath(name);
            if (!expected.count(name) && !unremoved) broken += " succeeded and left " + name + ";";
        }
        for (const auto& [name, bytes] : expected)
            if (!after.count(name)) broken += " succeeded and lost " + name + ";";
        return broken;
    }

    Bytes unlocker_;
    platform::MemoryResources embedded_;
    Files pristine_;
};

TEST_F(FaultInjection, EveryFailingOperationOfALockKeepsTheRules) {
    int64_t point = 0;
    for (;; ++point) {
        ASSERT_LT(point, 5000) << "the lock never ran without meeting the failure";
        Injector injector;
        injector.failAt = point;
        const std::string broken = LockOnce(injector);
        EXPECT_EQ(broken, "") << "operation " << point << " failed:" << broken;
        if (!injector.fired) break;
    }
    EXPECT_GT(point, 30) << "a lock makes more file operations than that";
}

TEST_F(FaultInjection, ADiskThatFillsUpAnywhereInALockKeepsTheRules) {
    Injector measure;
    ASSERT_EQ(LockOnce(measure), "");
    const int64_t total = measure.written;
    ASSERT_GT(total, 3000);
    std::set<int64_t> budgets{0, 1, 15, 16, 17, 3000, 3016, 3031, 3032, 3033, total - 1};
    for (int64_t step = 1; step < 64; ++step) budgets.insert(total * step / 64);
    for (const int64_t budget : budgets) {
        Injector injector;
        injector.budget = budget;
        const std::string broken = LockOnce(injector);
        EXPECT_EQ(broken, "") << "disk full after " << budget << " of " << total
                              << " bytes:" << broken;
        EXPECT_TRUE(injector.fired) << budget;
    }
}

TEST_F(FaultInjection, AFailedThirdResourceUpdateLeavesTheFirstTwoInTheUnlockerCopy) {
    Injector injector;
    injector.only = FileOperation::updateCommit;
    injector.failAt = 2;
    std::optional<String> message;
    {
        TCofrex builder(Path(u"appdata"));
        const Installed installed(injector);
        try {
            builder.Execute(In(u"secret.pdf"), u"pass word", Out(u"report.exe"));
        } catch (const rtl::Exception& e) {
            message = e.Message();
        }
    }
    ASSERT_TRUE(injector.fired);
    EXPECT_EQ(message, String(u"Could not write changes to file."));
    const Bytes copy = ReadAll(Path(u"appdata") + rtl::PathDelim + u"UnCofrex.exe");
    const pe::ResourceEditor editor(copy);
    EXPECT_NE(editor.Find(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral), nullptr);
    EXPECT_NE(editor.Find(pe::kRtRcData, u"SALT", pe::kLangNeutral), nullptr);
    EXPECT_EQ(editor.Find(pe::kRtRcData, u"FILENAME", pe::kLangNeutral), nullptr);
    EXPECT_EQ(editor.Find(pe::kRtRcData, u"HASH", pe::kLangNeutral), nullptr);
    EXPECT_FALSE(platform::FileExists(Out(u"report.exe")));
}

#ifndef _WIN32
// The system's own refusal: with RLIMIT_FSIZE a write past the limit stores what fits
// and then fails with EFBIG, in a child process so that the limit stays there.
TEST_F(FaultInjection, FilesThatTheSystemCapsKeepTheRules) {
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1000}, rlim_t{3023}, rlim_t{100000},
                               rlim_t{unlocker_.size() - 1}, rlim_t{unlocker_.size() + 1000}}) {
        Restore(folder_, pristine_);
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(channel[0]);
            signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
            std::string message = "no failure";
            try {
                TCofrex(Path(u"appdata"))
                    .Execute(In(u"secret.pdf"), u"pass word", Out(u"report.exe"));
            } catch (const rtl::Exception& e) {
                message = rtl::Utf8Encode(e.Message());
            } catch (...) {
                message = "not an rtl::Exception";
            }
            (void)!write(channel[1], message.data(), message.size());
            _exit(0);
        }
        close(channel[1]);
        std::string message;
        char buffer[512];
        for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
            message.append(buffer, n);
        close(channel[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(message, "no failure") << limit;
        EXPECT_EQ(Broken(pristine_, Snapshot(folder_), LockRules(), rtl::Utf8Decode(message)), "")
            << "files capped at " << limit << " bytes";
    }
}
#endif

// A resource write either reaches the executable whole or leaves it as it was.
class StoreFaults : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        WriteAll(Path(u"program.exe"), ReadAll(builder_test::FixtureExe()));
        WriteAll(Path(u"data.bin"), Pattern(5000, 9));
        pristine_ = Snapshot(folder_);
    }
    void TearDown() override {
        platform::InstallFaultInjector(nullptr);
        ScratchFolder::TearDown();
    }

    // Sweeps every failure point of one AddResource; returns the number of points.
    int64_t Sweep(bool fromText, const String& value, const String& name, const Bytes& stored) {
        const FailureRules rules{{"program.exe"},
                                 {"tempresource.txt"},
                                 {u"data.bin", u"tempresource.txt"},
                                 kTextsWithoutFile};
        for (int64_t point = 0;; ++point) {
            if (point > 1000) {
                ADD_FAILURE() << "the write never ran without meeting the failure";
                return point;
            }
            Restore(folder_, pristine_);
            Injector injector;
            injector.failAt = point;
            std::optional<String> message;
            {
                const Installed installed(injector);
                try {
                    builder::AddResource(Path(u"program.exe"), fromText, value, name);
                } catch (const rtl::Exception& e) {
                    message = e.Message();
                }
            }
            if (!injector.fired) return point;
            const Files after = Snapshot(folder_);
            const Bytes& program = after.at("program.exe");
            const pe::ResourceEditor editor(program);
            const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
            const bool whole = data && Bytes(data->bytes.begin(), data->bytes.end()) == stored;
            EXPECT_TRUE(program == pristine_.at("program.exe") || whole)
                << "operation " << point << ": the executable holds part of an update";
            if (message) {
                EXPECT_EQ(Broken(pristine_, after, rules, *message), "") << point;
            }
        }
    }

    Files pristine_;
};

TEST_F(StoreFaults, EveryFailingOperationOfAResourceWriteKeepsTheExecutableWhole) {
    EXPECT_GT(Sweep(false, Path(u"data.bin"), u"ENCRYPTEDFILE", Pattern(5000, 9)), 3);
    const std::string line = "0123456789ABCDEF\r\n";
    EXPECT_GT(Sweep(true, u"0123456789ABCDEF", u"SALT", Bytes(line.begin(), line.end())), 3);
}

}  // namespace
