#pragma once
// Packages for the verification tests: locked by TCofrex around the fixture program, which
// stands in for the unlocker, and altered the ways a look-alike would be.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "builder/OrvCofrex.h"
#include "builder/PackageVerify.h"
#include "pe/image.h"
#include "platform/Resources.h"
#include "support.h"

namespace builder_test {

// The fixture folder's other programs: "paddedreloc.exe", "winupdate.exe".
inline rtl::String FixtureSibling(const char16_t* name) {
    return rtl::ExtractFilePath(FixtureExe()) + name;
}

class PackageFolder : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        for (const char16_t* folder : {u"appdata", u"out"})
            std::filesystem::create_directories(std::filesystem::path(Path(folder)));
        unlocker_ = ReadAll(FixtureExe());
        WriteAll(Path(u"notes.txt"), Pattern(5000, 7));
    }
    void TearDown() override {
        platform::SetRunningProgramResources(nullptr);
        ScratchFolder::TearDown();
    }

    // Locks "notes.txt" around `unlocker` into out/<name>.
    rtl::String Lock(const rtl::String& name, const std::vector<uint8_t>& unlocker) {
        platform::MemoryResources embedded;
        embedded.Add(u"UNCOFREX", unlocker);
        platform::SetRunningProgramResources(&embedded);
        const rtl::String package = Path(u"out") + rtl::PathDelim + name;
        TCofrex(Path(u"appdata")).Execute(Path(u"notes.txt"), u"correct horse", package);
        platform::SetRunningProgramResources(nullptr);
        return package;
    }
    rtl::String Lock(const rtl::String& name) { return Lock(name, unlocker_); }

    builder::PackageCheck Verify(const rtl::String& package) {
        return builder::VerifyPackage(package, unlocker_);
    }

    std::vector<uint8_t> unlocker_;
};

}  // namespace builder_test
