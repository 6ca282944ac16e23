// Ctrl-C in the middle of a lock or an unlock: the command ends with exit code 3
// and leaves no partial package, work file or partial file behind.
#include "tests/cli/cli_support.h"

namespace cli_test {
namespace {

// Raises the interrupt flag once the progress bar has drawn `steps` times.
void InterruptAfterProgress(TestConsole& console, int steps) {
    console.terminal = true;
    console.onErr = [steps, seen = 0](std::string_view text) mutable {
        if (text.starts_with("\r") && ++seen == steps) cli::RequestInterrupt();
    };
}

TEST_F(CliTest, InterruptedLockLeavesOnlyTheTarget) {
    MakeFolder("src");
    WriteBytes(Native(Path8("src/big.bin")), Pattern(1000000, 6));
    InterruptAfterProgress(console_, 3);
    EXPECT_EQ(Run({"lock", Path8("src/big.bin"), "--password-stdin"}, {"pw"}), 3);
    EXPECT_TRUE(console_.err.ends_with("\ncofrex: interrupted: " + Path8("src/big_encrypted.exe") +
                                       " was not written\n"))
        << console_.err;
    EXPECT_EQ(Listing(Path8("src")), std::set<std::string>{"big.bin"});
}

TEST_F(CliTest, InterruptedUnlockLeavesNoPartialFileAndKeepsTheOldOne) {
    const std::string package = LockFile("big.bin", Pattern(1000000, 6), "pw");
    MakeFolder("out");
    WriteBytes(Native(Path8("out/big.bin")), Pattern(10, 1));
    InterruptAfterProgress(console_, 3);
    EXPECT_EQ(Run({"unlock", package, "-C", Path8("out"), "--password-stdin"}, {"pw"}), 3);
    EXPECT_NE(console_.err.find("cofrex: interrupted: "), std::string::npos) << console_.err;
    EXPECT_EQ(Listing(Path8("out")), std::set<std::string>{"big.bin"});
    EXPECT_EQ(ReadBytes(Native(Path8("out/big.bin"))), Pattern(10, 1));
}

TEST_F(CliTest, ProgressIsDrawnOnlyOnATerminal) {
    const std::string package = LockFile("big.bin", Pattern(1000000, 6), "pw");
    EXPECT_EQ(console_.err, "");
    console_.terminal = true;
    MakeFolder("out");
    console_.typed = {"pw"};
    ASSERT_EQ(Run({"unlock", package, "-C", Path8("out")}), 0) << console_.err;
    EXPECT_NE(console_.err.find("\rUnlocking [####################] 100%  976.6 KiB / 976.6 KiB"),
              std::string::npos)
        << console_.err;
    EXPECT_TRUE(console_.err.ends_with("\n"));
}

}  // namespace
}  // namespace cli_test
