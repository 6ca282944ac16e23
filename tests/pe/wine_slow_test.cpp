// The edited fixture, run as a Windows program, finds its resources with FindResourceW; and
// pe/ reads what the system's own UpdateResourceW wrote. Natively the Windows programs run
// under Wine (skipped when Wine is missing); in the Windows build they run directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "pe/resource_editor.h"
#include "tests/pe/test_support.h"

namespace {

using pe_test::Bytes;
using pe_test::Pattern;

bool CanRunWindowsPrograms() {
#ifdef _WIN32
    return true;
#else
    return std::filesystem::exists(PE_WINE);
#endif
}

// Runs a Windows program with arguments and returns its standard output without CRs.
std::string RunProgram(const std::string& program, const std::string& arguments) {
#ifdef _WIN32
    const std::string command = "\"\"" + program + "\" " + arguments + "\"";
    FILE* pipe = _popen(command.c_str(), "r");
#else
    const std::string command = std::string("WINEPREFIX='") + PE_WINEPREFIX +
                                "' WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= " + PE_WINE +
                                " '" + program + "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr) return "cannot start " + program;
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
#ifdef _WIN32
    _pclose(pipe);
#else
    pclose(pipe);
#endif
    std::string clean;
    for (char c : out) {
        if (c != '\r') clean += c;
    }
    return clean;
}

std::string Probe(const std::string& name, const std::vector<uint8_t>& data) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (uint8_t b : data) hash = (hash ^ b) * 0x100000001b3ULL;
    char line[128];
    std::snprintf(line, sizeof line, "%s %zu %016llx\n", name.c_str(), data.size(),
                  static_cast<unsigned long long>(hash));
    return line;
}

const char kBuiltin[] = "builtin icon=1 manifest=1 version=1 string=resprobe\n";

class WindowsPrograms : public testing::Test {
protected:
    void SetUp() override {
        if (!CanRunWindowsPrograms()) GTEST_SKIP() << "no Wine to run Windows programs";
        fixture_ = pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    }
    std::vector<uint8_t> fixture_;
};

// After each of the four cycles (the added data left where it is, a new directory after it)
// the program starts and finds every resource; paddedreloc.exe ends with raw data its
// .reloc does not map.
TEST_F(WindowsPrograms, EditedProgramStartsAndFindsItsResources) {
    const std::pair<const char16_t*, std::vector<uint8_t>> updates[] = {
        {u"ENCRYPTEDFILE", Pattern(1000003, 11)},
        {u"SALT", Bytes(std::string(64, 'C') + "\r\n")},
        {u"FILENAME", Bytes("notes.txt\r\n")},
        {u"HASH", Bytes(std::string(43, 'Q') + "=\r\n")},
    };
    for (const char* fixture : {"resprobe.exe", "paddedreloc.exe"}) {
        std::vector<uint8_t> image = pe_test::ReadFile(pe_test::FixturePath(fixture));
        std::string names, expected = kBuiltin;
        for (const auto& [name, data] : updates) {
            SCOPED_TRACE(std::string(fixture) + " " + pe_test::Narrow(name));
            image = pe_test::AddRcData(image, name, data);
            names += pe_test::Narrow(name) + " ";
            expected += Probe(pe_test::Narrow(name), data);
            pe_test::WriteFile("pe_wine_package.exe", image);
            EXPECT_EQ(RunProgram("pe_wine_package.exe", names + "NOPE"),
                      expected + "NOPE missing\n");
        }
    }
}

TEST_F(WindowsPrograms, ReadsWhatUpdateResourceWroteAndBack) {
    pe_test::WriteFile("pe_wine_updated.exe", fixture_);
    const auto salt = Bytes(std::string(64, '7') + "\r\n");
    const auto encrypted = Pattern(150001, 5);
    pe_test::WriteFile("pe_wine_salt.bin", salt);
    pe_test::WriteFile("pe_wine_encrypted.bin", encrypted);
    const std::string helper = pe_test::FixturePath("winupdate.exe");
    EXPECT_EQ(RunProgram(helper, "pe_wine_updated.exe SALT pe_wine_salt.bin"), "");
    EXPECT_EQ(RunProgram(helper, "pe_wine_updated.exe ENCRYPTEDFILE pe_wine_encrypted.bin"), "");

    const std::vector<uint8_t> updated = pe_test::ReadFile("pe_wine_updated.exe");
    ASSERT_NE(updated, fixture_) << "the system's update wrote nothing";
    pe::ResourceEditor editor(updated);
    const pe::ResourceEditor original(fixture_);
    for (const auto& [type, names] : original.Resources().types) {
        for (const auto& [name, languages] : names.names) {
            for (const auto& [language, data] : languages.languages) {
                const auto* found = editor.Find(type, name, language);
                ASSERT_NE(found, nullptr);
                const bool replaced =
                    type == pe::ResourceId(pe::kRtRcData) && name == pe::ResourceId(u"SALT");
                const auto& want = replaced ? std::span<const uint8_t>(salt) : data.bytes;
                EXPECT_TRUE(
                    std::equal(found->bytes.begin(), found->bytes.end(), want.begin(), want.end()));
            }
        }
    }
    const auto* added = editor.Find(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral);
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(
        std::equal(added->bytes.begin(), added->bytes.end(), encrypted.begin(), encrypted.end()));

    // And pe/ edits the system-written file further; the program still finds everything.
    const auto hash = Bytes("HASH-VALUE\r\n");
    pe_test::WriteFile("pe_wine_updated2.exe", pe_test::AddRcData(updated, u"HASH", hash));
    EXPECT_EQ(
        RunProgram("pe_wine_updated2.exe", "SALT ENCRYPTEDFILE HASH"),
        kBuiltin + Probe("SALT", salt) + Probe("ENCRYPTEDFILE", encrypted) + Probe("HASH", hash));
}

}  // namespace
