#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

namespace {

using rtl::String;

class FileIdentity : public test_support::ScratchFolder {
protected:
    void Make(const String& name) { rtl::TFileStream(Path(name), rtl::fmCreate); }
    void Link(const String& existing, const String& name) {
        std::filesystem::create_hard_link(std::filesystem::path(Path(existing)),
                                          std::filesystem::path(Path(name)));
    }
};

TEST_F(FileIdentity, SameFileFollowsTheFileNotItsSpelling) {
    Make(u"a.bin");
    Make(u"b.bin");
    Link(u"a.bin", u"hard link.bin");
    std::filesystem::create_directories(std::filesystem::path(Path(u"sub")));
    const String dotted = Path(u"sub") + rtl::PathDelim + u".." + rtl::PathDelim + u"a.bin";

    EXPECT_TRUE(platform::SameFile(Path(u"a.bin"), Path(u"a.bin")));
    EXPECT_TRUE(platform::SameFile(Path(u"a.bin"), Path(u"hard link.bin")));
    EXPECT_TRUE(platform::SameFile(Path(u"a.bin"), dotted));
    EXPECT_FALSE(platform::SameFile(Path(u"a.bin"), Path(u"b.bin")));
    EXPECT_FALSE(platform::SameFile(Path(u"a.bin"), Path(u"missing.bin")));
    EXPECT_FALSE(platform::SameFile(Path(u"missing.bin"), Path(u"missing.bin")));
}

TEST_F(FileIdentity, SameLocationAlsoComparesFilesNotYetMade) {
    Make(u"a.bin");
    Link(u"a.bin", u"hard link.bin");
    std::filesystem::create_directories(std::filesystem::path(Path(u"sub")));
    const String viaSub = Path(u"sub") + rtl::PathDelim + u".." + rtl::PathDelim;

    EXPECT_TRUE(platform::SameLocation(Path(u"a.bin"), Path(u"hard link.bin")));
    EXPECT_TRUE(platform::SameLocation(Path(u"new.exe"), viaSub + u"new.exe"));
    EXPECT_FALSE(platform::SameLocation(Path(u"new.exe"), viaSub + u"other.exe"));
    EXPECT_FALSE(platform::SameLocation(Path(u"a.bin"), Path(u"new.exe")));
    EXPECT_FALSE(
        platform::SameLocation(Path(u"new.exe"), Path(u"sub") + rtl::PathDelim + u"new.exe"));
#ifdef _WIN32
    EXPECT_TRUE(platform::SameLocation(Path(u"new.exe"), Path(u"NEW.EXE")));
#else
    EXPECT_FALSE(platform::SameLocation(Path(u"new.exe"), Path(u"NEW.EXE")));
#endif
}

}  // namespace
