// Every failure point of `cofrex unlock`: each file operation in turn fails, then the
// disk fills up after every amount of bytes. After each run: a failure exits 3 with one
// line naming the file, and the output folder is as it was (its file of the stored name
// included, no partial file); a success replaces that file with the unlocked one.
#include <set>

#include "tests/builder/fault_support.h"
#include "tests/cli/cli_support.h"

namespace cli_test {
namespace {

using builder_test::Files;
using builder_test::Injector;
using builder_test::Installed;
using builder_test::Restore;
using builder_test::Snapshot;
using platform::FileOperation;

class UnlockFaults : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        content_ = Pattern(3000, 5);
        package_ = LockFile("notes.txt", content_, "pw");
        MakeFolder("out");
        WriteBytes(Native(Path8("out/notes.txt")), Pattern(10, 1));
        WriteBytes(Native(Path8("out/keep.txt")), Pattern(30, 3));
        out_ = rtl::Utf8Decode(Path8("out"));
        pristine_ = Snapshot(out_);
    }

    // One unlock with `injector` installed; returns the broken rules, or an empty text.
    std::string UnlockOnce(Injector& injector) {
        Restore(out_, pristine_);
        int code;
        {
            const Installed installed(injector);
            code = Run({"unlock", package_, "-C", Path8("out"), "--password-stdin"}, {"pw"});
        }
        const Files after = Snapshot(out_);
        Files expected = pristine_;
        if (code == 0) {
            expected["notes.txt"] = content_;
        } else {
            if (!injector.fired) return " failed without an injected failure: " + console_.err;
            if (code != 3) return " exit code " + std::to_string(code) + ": " + console_.err;
            const bool oneLine = console_.err.find('\n') == console_.err.size() - 1;
            if (!oneLine || console_.err.rfind("cofrex: ", 0) != 0 ||
                console_.err.find("notes.txt") == std::string::npos)
                return " not one line naming the file: " + console_.err;
        }
        return after == expected ? "" : " the output folder changed; " + console_.err;
    }

    std::vector<uint8_t> content_;
    std::string package_;
    rtl::String out_;
    Files pristine_;
};

TEST_F(UnlockFaults, EveryFailingOperationOfAnUnlockKeepsTheRules) {
    int64_t point = 0;
    std::set<std::string> messages;
    for (;; ++point) {
        ASSERT_LT(point, 1000) << "the unlock never ran without meeting the failure";
        Injector injector;
        injector.failAt = point;
        EXPECT_EQ(UnlockOnce(injector), "") << "operation " << point;
        messages.insert(console_.err);
        if (!injector.fired) break;
    }
    EXPECT_GT(point, 3) << "the package's opening, a reservation, a write and a rename";
    EXPECT_GT(messages.size(), 2u) << "the failures end in more than one way";
}

TEST_F(UnlockFaults, ADiskThatFillsUpAnywhereInAnUnlockKeepsTheRules) {
    for (const int64_t budget : {0, 1, 15, 16, 17, 1000, 2047, 2048, 2999}) {
        Injector injector;
        injector.budget = budget;
        EXPECT_EQ(UnlockOnce(injector), "") << "disk full after " << budget << " bytes";
        EXPECT_TRUE(injector.fired) << budget;
    }
}

}  // namespace
}  // namespace cli_test
