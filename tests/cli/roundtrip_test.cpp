// Lock then unlock through the commands, as a user or a script runs them.
#include "tests/cli/cli_support.h"

namespace cli_test {
namespace {

struct RoundTripCase {
    const char* name;
    size_t size;
    const char* password;
};

// Sizes around the AES block and the 160,000-byte chunk of the progress steps.
const RoundTripCase kRoundTrips[] = {
    {"report.pdf", 1000, "Secret pass"},
    {"Überweisung Größe.txt", 0, "pässwörd"},
    {"日本語 ファイル.bin", 160000 + 17, "パスワード ☂"},
    {"no extension", 16, "x"},
    {"zürich.tar.gz", 320000, "two words"},
};

class RoundTrip : public CliTest, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, UnlocksTheLockedFileByteForByteUnderItsName) {
    const RoundTripCase& c = GetParam();
    const std::vector<uint8_t> content = Pattern(c.size, 7);
    MakeFolder("src");
    const std::string target = Path8(std::string("src/") + c.name);
    WriteBytes(Native(target), content);

    ASSERT_EQ(Run({"lock", target, "--password-stdin"}, {c.password}), 0) << console_.err;
    // The locker's proposed name, beside the target.
    const std::string stem = std::string(c.name).substr(0, std::string(c.name).rfind('.'));
    const std::string package = Path8("src/" + stem + "_encrypted.exe");
    EXPECT_EQ(console_.out, package + "\n");
    EXPECT_EQ(Listing(Path8("src")), (std::set<std::string>{c.name, stem + "_encrypted.exe"}));

    MakeFolder("out");
    ASSERT_EQ(Run({"unlock", package, "-C", Path8("out"), "--password-stdin"}, {c.password}), 0)
        << console_.err;
    EXPECT_EQ(ReadBytes(Native(Path8(std::string("out/") + c.name))), content);
    EXPECT_EQ(Listing(Path8("out")), std::set<std::string>{c.name});
    EXPECT_EQ(console_.err, "");
}

INSTANTIATE_TEST_SUITE_P(Names, RoundTrip, testing::ValuesIn(kRoundTrips));

TEST_F(CliTest, UnlockWritesIntoTheCurrentFolderByDefaultAndReplacesAFileOfThatName) {
    const std::vector<uint8_t> content = Pattern(5000, 3);
    const std::string package = LockFile("notes.txt", content, "pw");
    MakeFolder("here");
    WriteBytes(Native(Path8("here/notes.txt")), Pattern(10, 9));
    const fs::path before = fs::current_path();
    fs::current_path(Native(Path8("here")));
    const int code = Run({"unlock", package, "--password-stdin"}, {"pw"});
    fs::current_path(before);
    ASSERT_EQ(code, 0) << console_.err;
    EXPECT_EQ(ReadBytes(Native(Path8("here/notes.txt"))), content);
    EXPECT_EQ(Listing(Path8("here")), std::set<std::string>{"notes.txt"});
}

TEST_F(CliTest, PasswordsAreTypedOnTheTerminalTwiceForALockAndOnceForAnUnlock) {
    console_.terminal = true;
    MakeFolder("src");
    WriteBytes(Native(Path8("src/a.txt")), Pattern(100, 1));
    console_.typed = {"typed secret", "typed secret"};
    ASSERT_EQ(Run({"lock", Path8("src/a.txt")}), 0) << console_.err;
    EXPECT_EQ(console_.prompts, (std::vector<std::string>{"Password: ", "Confirm password: "}));

    console_.typed = {"typed secret"};
    MakeFolder("out");
    ASSERT_EQ(Run({"unlock", Path8("src/a_encrypted.exe"), "-C", Path8("out")}), 0) << console_.err;
    EXPECT_EQ(ReadBytes(Native(Path8("out/a.txt"))), Pattern(100, 1));
}

struct PasswordRefusal {
    const char* what;
    bool terminal;
    std::vector<std::string> typed;
    std::vector<std::string> input;
    std::vector<std::string> extra;
    const char* message;
};

class LockPasswordRefused : public CliTest, public testing::WithParamInterface<PasswordRefusal> {};

TEST_P(LockPasswordRefused, ExitsWithUsageAndWritesNothing) {
    const PasswordRefusal& c = GetParam();
    MakeFolder("src");
    WriteBytes(Native(Path8("src/a.txt")), Pattern(100, 1));
    console_.terminal = c.terminal;
    console_.typed = c.typed;
    std::vector<std::string> args = {"lock", Path8("src/a.txt")};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(Run(args, c.input), 2);
    EXPECT_EQ(console_.err, std::string("cofrex: ") + c.message + "\n");
    EXPECT_EQ(Listing(Path8("src")), std::set<std::string>{"a.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LockPasswordRefused,
    testing::Values(
        PasswordRefusal{"differ", true, {"one", "two"}, {}, {}, "The passwords are not identical!"},
        PasswordRefusal{"empty", true, {"", ""}, {}, {}, "Enter a password"},
        PasswordRefusal{"no terminal",
                        false,
                        {},
                        {},
                        {},
                        "no terminal to read the password from: give it on standard input with "
                        "--password-stdin"},
        PasswordRefusal{
            "no input", false, {}, {}, {"--password-stdin"}, "no password on standard input"},
        PasswordRefusal{"empty input", false, {}, {""}, {"--password-stdin"}, "Enter a password"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST_F(CliTest, AnExistingPackageIsReplacedOnlyWithForceAndOnlyByAWholeOne) {
    MakeFolder("src");
    WriteBytes(Native(Path8("src/a.txt")), Pattern(100, 1));
    const std::string package = Path8("src/a_encrypted.exe");
    WriteBytes(Native(package), Pattern(50, 2));

    EXPECT_EQ(Run({"lock", Path8("src/a.txt"), "--password-stdin"}, {"pw"}), 2);
    EXPECT_EQ(console_.err,
              "cofrex: " + package + ": already exists: give --force to replace it\n");
    EXPECT_EQ(ReadBytes(Native(package)), Pattern(50, 2));

    // A lock that fails (the target vanished under a --force) keeps the old file.
    EXPECT_EQ(Run({"lock", Path8("src/missing.txt"), "-o", package, "--force", "--password-stdin"},
                  {"pw"}),
              3);
    EXPECT_EQ(ReadBytes(Native(package)), Pattern(50, 2));

    ASSERT_EQ(Run({"lock", Path8("src/a.txt"), "--force", "--password-stdin"}, {"pw"}), 0)
        << console_.err;
    EXPECT_EQ(Listing(Path8("src")), (std::set<std::string>{"a.txt", "a_encrypted.exe"}));
    MakeFolder("out");
    ASSERT_EQ(Run({"unlock", package, "-C", Path8("out"), "--password-stdin"}, {"pw"}), 0)
        << console_.err;
    EXPECT_EQ(ReadBytes(Native(Path8("out/a.txt"))), Pattern(100, 1));
}

TEST_F(CliTest, InspectShowsWhatThePackageStoresWithoutAPassword) {
    const std::string package = LockFile("Größe.txt", Pattern(1000, 5), "pw");
    ASSERT_EQ(Run({"inspect", package}), 0) << console_.err;
    // 1,000 bytes: the IV and 63 blocks of ciphertext.
    EXPECT_TRUE(
        console_.out.starts_with("File name:      Größe.txt\n"
                                 "Encrypted size: 1024 bytes\n"
                                 "Salt:           "))
        << console_.out;
    EXPECT_TRUE(console_.out.ends_with("Structure:      sound\n")) << console_.out;
    const size_t salt = console_.out.find("Salt:           ") + 16;
    EXPECT_EQ(console_.out.find('\n', salt) - salt, 64u);
    const size_t check = console_.out.find("Check value:    ") + 16;
    EXPECT_EQ(console_.out.find('\n', check) - check, 44u);
}

struct UsageCase {
    std::vector<std::string> args;
    const char* message;
};

class Usage : public CliTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(Usage, IsRefusedWithExitCodeTwoAndOneLine) {
    EXPECT_EQ(Run(GetParam().args), 2);
    EXPECT_EQ(console_.err, std::string("cofrex: ") + GetParam().message + "\n");
    EXPECT_EQ(console_.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Usage,
    testing::Values(UsageCase{{}, "no command: see cofrex --help"},
                    UsageCase{{"open", "x"}, "unknown command open: see cofrex --help"},
                    UsageCase{{"lock"},
                              "usage: cofrex lock FILE [-o PACKAGE] [--force] [--password-stdin]"},
                    UsageCase{{"lock", "a", "b"},
                              "usage: cofrex lock FILE [-o PACKAGE] [--force] [--password-stdin]"},
                    UsageCase{{"lock", "a", "-o"}, "option -o needs a value"},
                    UsageCase{{"lock", "a", "--output="}, "option --output needs a value"},
                    UsageCase{{"lock", "a", "--force=yes"}, "option --force takes no value"},
                    UsageCase{{"lock", "a", "-f", "--force"}, "option --force given twice"},
                    UsageCase{{"unlock", "p", "--verbose"}, "unknown option --verbose"},
                    UsageCase{{"inspect", "p", "-C", "d"}, "unknown option -C"}));

// Windows takes "/" between folders too; the stored name must still be bare.
TEST_F(CliTest, ATargetGivenWithForwardSlashesStoresItsBareName) {
    MakeFolder("src");
    WriteBytes(Native(Path8("src/a.txt")), Pattern(10, 1));
    ASSERT_EQ(Run({"lock", folder8_ + "src/a.txt", "--password-stdin"}, {"pw"}), 0) << console_.err;
    ASSERT_EQ(Run({"inspect", Path8("src/a_encrypted.exe")}), 0) << console_.out;
    EXPECT_TRUE(console_.out.starts_with("File name:      a.txt\n")) << console_.out;
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(console_.out.find("cofrex unlock PACKAGE [-C DIR] [--password-stdin]"),
              std::string::npos);
    EXPECT_EQ(Run({"lock", "--help"}), 0);
    EXPECT_TRUE(console_.out.starts_with("usage: cofrex lock FILE")) << console_.out;
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_TRUE(console_.out.starts_with("cofrex ")) << console_.out;
    EXPECT_EQ(console_.err, "");
}

// "--" ends the options, so a file whose name starts with "-" can be locked.
TEST_F(CliTest, AFileNamedLikeAnOptionIsLockedAfterTheEndOfOptions) {
    MakeFolder("src");
    const fs::path before = fs::current_path();
    fs::current_path(Native(Path8("src")));
    WriteBytes("-o", Pattern(10, 1));
    const int code = Run({"lock", "--password-stdin", "--", "-o"}, {"pw"});
    fs::current_path(before);
    EXPECT_EQ(code, 0) << console_.err;
    EXPECT_EQ(Listing(Path8("src")), (std::set<std::string>{"-o", "-o_encrypted.exe"}));
}

}  // namespace
}  // namespace cli_test
