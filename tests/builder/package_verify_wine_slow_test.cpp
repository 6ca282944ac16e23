// A package whose resources the system's own UpdateResourceW wrote is not what the lock
// writes, even with the same content. Natively the Windows helper runs under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "builder/PackageResources.h"
#include "package_support.h"
#include "pe/resource_editor.h"

namespace {

using builder_test::ReadAll;
using builder_test::WriteAll;

// Runs winupdate.exe in `folder` with file names relative to it; its exit status.
int RunWinUpdate(const rtl::String& folder, const std::string& arguments) {
    const std::string helper = rtl::Utf8Encode(builder_test::FixtureSibling(u"winupdate.exe"));
#ifdef _WIN32
    const std::string command =
        "cd /d \"" + rtl::Utf8Encode(folder) + "\" && \"" + helper + "\" " + arguments;
#else
    if (!std::filesystem::exists("/usr/lib/wine/wine64")) return -1;
    const std::string command = "cd '" + rtl::Utf8Encode(folder) + "' && WINEPREFIX='" +
                                COFREX_WINEPREFIX +
                                "' WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "
                                "/usr/lib/wine/wine64 '" +
                                helper + "' " + arguments + " >/dev/null 2>&1";
#endif
    return std::system(command.c_str());
}

class PackageVerifyUnderWine : public builder_test::PackageFolder {};

// The four resources of a genuine package, written into the bare unlocker by another tool.
TEST_F(PackageVerifyUnderWine, ThePackageResourcesWrittenByUpdateResourceWAreNotTheLocksLayout) {
    const std::vector<uint8_t> genuine = ReadAll(Lock(u"genuine.exe"));
    const pe::ResourceEditor resources(genuine);
    WriteAll(Path(u"out/look-alike.exe"), unlocker_);
    for (const char16_t* name : builder::kPackageResources) {
        const std::string narrow = rtl::Utf8Encode(name);
        SCOPED_TRACE(narrow);
        const pe::ResourceData* data = resources.Find(pe::kRtRcData, name, pe::kLangNeutral);
        ASSERT_NE(data, nullptr);
        WriteAll(Path(u"out/data.bin"),
                 std::vector<uint8_t>(data->bytes.begin(), data->bytes.end()));
        ASSERT_EQ(RunWinUpdate(Path(u"out"), "look-alike.exe " + narrow + " data.bin"), 0);
    }

    const builder::PackageCheck check = Verify(Path(u"out/look-alike.exe"));

    EXPECT_EQ(check.verdict, builder::PackageVerdict::resourcesRewritten)
        << rtl::Utf8Encode(check.reason);
}

}  // namespace
