// cofrex verify, run as the command line runs it, with the fixture program as the unlocker
// the command carries.
#include <gtest/gtest.h>

#include <cstdio>

#include "cli/VerifyCommand.h"
#include "crypto/core/sha2.h"
#include "package_support.h"

std::span<const uint8_t> EmbeddedUnlocker() {
    static const std::vector<uint8_t> unlocker = builder_test::ReadAll(builder_test::FixtureExe());
    return unlocker;
}

namespace {

using builder_test::ReadAll;
using builder_test::WriteAll;

struct CommandRun {
    int exitCode;
    std::string out, err;
};

CommandRun RunVerify(const std::vector<std::string>& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = cli::RunVerifyCommand(args);
    std::string out = testing::internal::GetCapturedStdout();
    return {code, out, testing::internal::GetCapturedStderr()};
}

std::string Sha256Hex(const std::vector<uint8_t>& bytes) {
    uint8_t digest[32];
    EXPECT_EQ(core::Sha2Digest(bytes.data(), static_cast<uint32_t>(bytes.size()), 256, digest), 0);
    char hex[65];
    for (int i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

class VerifyCommand : public builder_test::PackageFolder {
protected:
    std::string Narrow(const rtl::String& path) { return rtl::Utf8Encode(path); }
};

TEST_F(VerifyCommand, AGenuinePackageNamesTheUnlockersVersionAndChecksum) {
    const std::string package = Narrow(Lock(u"notes.exe"));

    const CommandRun run = RunVerify({package});

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              package + ": genuine (unlocker 1.2.3.4, SHA-256 " + Sha256Hex(unlocker_) + ")\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(VerifyCommand, AnotherReleasesUnlockerIsGivenWithItsFile) {
    const rtl::String otherUnlocker = builder_test::FixtureSibling(u"paddedreloc.exe");
    const std::string package = Narrow(Lock(u"notes.exe", ReadAll(otherUnlocker)));

    const CommandRun withIt = RunVerify({package, "--unlocker", Narrow(otherUnlocker)});
    const CommandRun withTheCarriedOne = RunVerify({package});

    EXPECT_EQ(withIt.exitCode, 0);
    EXPECT_EQ(withIt.out, package + ": genuine (unlocker 1.2.3.4, SHA-256 " +
                              Sha256Hex(ReadAll(otherUnlocker)) + ")\n");
    EXPECT_EQ(withTheCarriedOne.exitCode, 3);
    EXPECT_EQ(withTheCarriedOne.out,
              package + ": not genuine: its code differs from the unlocker's\n");
}

TEST_F(VerifyCommand, ALookAlikeIsNotGenuineAndSaysWhy) {
    const rtl::String package = Lock(u"notes.exe");
    std::vector<uint8_t> bytes = ReadAll(package);
    bytes.insert(bytes.end(), 24, 0);
    WriteAll(package, bytes);

    const CommandRun run = RunVerify({Narrow(package)});

    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, Narrow(package) + ": not genuine: 24 bytes were added after the image\n");
}

TEST_F(VerifyCommand, WrongArgumentsAreAUsageErrorAndUnreadableFilesAFailure) {
    const std::string package = Narrow(Lock(u"notes.exe"));
    WriteAll(Path(u"text.txt"), {'h', 'i'});
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* errStart;
    };
    const Case cases[] = {
        {{}, 2, "cofrex: usage: cofrex verify PACKAGE [--unlocker FILE]\n"},
        {{package, package}, 2, "cofrex: usage: "},
        {{package, "--unlocker"}, 2, "cofrex: usage: "},
        {{package, "--unlocker", package, "--unlocker", package}, 2, "cofrex: usage: "},
        {{package, "--quiet"}, 2, "cofrex: usage: "},
        {{Narrow(Path(u"absent.exe"))}, 3, "cofrex: "},
        {{package, "--unlocker", Narrow(Path(u"absent.exe"))}, 3, "cofrex: "},
        {{package, "--unlocker", Narrow(Path(u"text.txt"))}, 3, "cofrex: the unlocker "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandRun run = RunVerify(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with(c.errStart)) << run.err;
    }
}

}  // namespace
