// cofrex verify on packages of the real unlocker: locked by cofrex itself, by another
// release's unlocker, and altered.
#include <cstdio>

#include "cli_support.h"
#include "crypto/core/sha2.h"
#include "pe/resource_editor.h"

namespace {

using namespace cli_test;

std::string Sha256Hex(const std::vector<uint8_t>& bytes) {
    uint8_t digest[32];
    EXPECT_EQ(core::Sha2Digest(bytes.data(), static_cast<uint32_t>(bytes.size()), 256, digest), 0);
    char hex[65];
    for (int i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

// The unlocker of this build with another file version in its version information, as
// a later release would have.
std::vector<uint8_t> NextRelease(const std::vector<uint8_t>& unlocker) {
    pe::ResourceEditor editor(unlocker);
    const auto& [name, languages] = *editor.Resources().types.at(pe::kRtVersion).names.begin();
    const auto& [language, data] = *languages.languages.begin();
    std::vector<uint8_t> version(data.bytes.begin(), data.bytes.end());
    constexpr size_t kFileVersionLs = 40 + 12;  // VS_FIXEDFILEINFO after the 40-byte header
    version.at(kFileVersionLs) = 7;
    editor.Set(pe::kRtVersion, name, language, std::move(version));
    return editor.ToBytes();
}

class Verify : public CliTest {
protected:
    std::string Genuine(const std::string& package, const std::vector<uint8_t>& unlocker,
                        const std::string& version) {
        return package + ": genuine (unlocker " + version + ", SHA-256 " + Sha256Hex(unlocker) +
               ")\n";
    }
};

TEST_F(Verify, APackageOfThisProgramIsGenuineWithTheCarriedUnlockersVersionAndChecksum) {
    const std::string package = LockFile("notes.txt", Pattern(70000, 3), "pw");

    EXPECT_EQ(Run({"verify", package}), 0) << console_.err;
    EXPECT_EQ(console_.out, Genuine(package, ReadBytes(COFREX_UNLOCKER_EXE), "1.0.0.0"));
    EXPECT_EQ(console_.err, "");
}

TEST_F(Verify, APackageOfAnotherReleaseIsGenuineOnlyAgainstThatReleasesUnlocker) {
    const std::vector<uint8_t> next = NextRelease(ReadBytes(COFREX_UNLOCKER_EXE));
    WriteBytes(Native(Path8("UnCofrex-next.exe")), next);
    carried_.Add(u"UNCOFREX", next);
    const std::string package = LockFile("notes.txt", Pattern(3000, 4), "pw");
    carried_.Add(u"UNCOFREX", ReadBytes(COFREX_UNLOCKER_EXE));

    EXPECT_EQ(Run({"verify", package, "--unlocker", Path8("UnCofrex-next.exe")}), 0)
        << console_.err;
    EXPECT_EQ(console_.out, Genuine(package, next, "1.0.0.7"));

    EXPECT_EQ(Run({"verify", package}), 3);
    EXPECT_EQ(console_.out, package +
                                ": not genuine: its resource (type 16, name 1, language 1033) "
                                "differs from the unlocker's\n");
}

TEST_F(Verify, ALookAlikeIsNotGenuineAndTheLineSaysWhy) {
    const std::string package = LockFile("notes.txt", Pattern(3000, 5), "pw");
    std::vector<uint8_t> bytes = ReadBytes(Native(package));
    bytes.insert(bytes.end(), 24, 0);
    WriteBytes(Native(package), bytes);

    EXPECT_EQ(Run({"verify", package}), 3);
    EXPECT_EQ(console_.out, package + ": not genuine: 24 bytes were added after the image\n");
    EXPECT_EQ(console_.err, "");
}

TEST_F(Verify, WrongArgumentsAreUsageErrorsAndUnreadableFilesFailures) {
    const std::string package = LockFile("notes.txt", Pattern(100, 6), "pw");
    WriteBytes(Native(Path8("text.txt")), {'h', 'i'});
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {{"verify"}, 2, "cofrex: usage: cofrex verify PACKAGE [--unlocker FILE]\n"},
        {{"verify", package, package},
         2,
         "cofrex: usage: cofrex verify PACKAGE [--unlocker FILE]\n"},
        {{"verify", package, "--unlocker"}, 2, "cofrex: option --unlocker needs a value\n"},
        {{"verify", package, "--quiet"}, 2, "cofrex: unknown option --quiet\n"},
        {{"verify", package, "--unlocker", Path8("text.txt")},
         3,
         "cofrex: the unlocker " + Path8("text.txt") +
             " is not a Windows program: not an executable: no MZ header\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(Run(c.args), c.exitCode);
        EXPECT_EQ(console_.out, "");
        EXPECT_EQ(console_.err, c.err);
    }
    for (const auto& args : {std::vector<std::string>{"verify", Path8("absent.exe")},
                             {"verify", package, "--unlocker", Path8("absent.exe")}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(Run(args), 3);
        EXPECT_TRUE(console_.err.starts_with("cofrex: ")) << console_.err;
        EXPECT_NE(console_.err.find("absent.exe"), std::string::npos) << console_.err;
    }
}

}  // namespace
