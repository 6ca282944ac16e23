#include <gtest/gtest.h>

#include "platform/File.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <cerrno>

#include "platform/posix/Rename.h"
#endif

namespace {

using rtl::String;

class Rename : public test_support::ScratchFolder {
protected:
    void Put(const String& name, const std::string& text) {
        rtl::TFileStream(Path(name), rtl::fmCreate)
            .WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    }
    std::string Get(const String& name) {
        rtl::TFileStream in(Path(name), rtl::fmOpenRead);
        std::string text(static_cast<size_t>(in.Size()), '\0');
        in.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
        return text;
    }
};

TEST_F(Rename, NeverReplacesAnExistingFile) {
    Put(u"package.exe", "new");
    Put(u"taken.exe", "user's file");
    EXPECT_FALSE(platform::RenameFile(Path(u"package.exe"), Path(u"taken.exe")));
    EXPECT_EQ(Get(u"taken.exe"), "user's file");
    EXPECT_EQ(Get(u"package.exe"), "new");
    EXPECT_TRUE(platform::RenameFile(Path(u"package.exe"), Path(u"free.exe")));
    EXPECT_EQ(Get(u"free.exe"), "new");
    EXPECT_FALSE(platform::FileExists(Path(u"package.exe")));
}

#ifndef _WIN32
// What a FAT file system answers to a hard link.
int NoHardLinks(const char*, const char*) {
    errno = EPERM;
    return -1;
}

int LinkDenied(const char*, const char*) {
    errno = EACCES;
    return -1;
}

TEST_F(Rename, WithoutHardLinksTheExistingFileIsStillKept) {
    Put(u"package.exe", "new");
    Put(u"taken.exe", "user's file");
    const std::string from = rtl::Utf8Encode(Path(u"package.exe"));
    EXPECT_FALSE(platform::posix::RenameWithoutReplacing(from, rtl::Utf8Encode(Path(u"taken.exe")),
                                                         NoHardLinks));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(Get(u"taken.exe"), "user's file");
    EXPECT_EQ(Get(u"package.exe"), "new");

    EXPECT_TRUE(platform::posix::RenameWithoutReplacing(from, rtl::Utf8Encode(Path(u"free.exe")),
                                                        NoHardLinks));
    EXPECT_EQ(Get(u"free.exe"), "new");
    EXPECT_FALSE(platform::FileExists(Path(u"package.exe")));
}

TEST_F(Rename, OtherLinkFailuresAreNotWorkedAround) {
    Put(u"package.exe", "new");
    EXPECT_FALSE(platform::posix::RenameWithoutReplacing(
        rtl::Utf8Encode(Path(u"package.exe")), rtl::Utf8Encode(Path(u"free.exe")), LinkDenied));
    EXPECT_EQ(errno, EACCES);
    EXPECT_FALSE(platform::FileExists(Path(u"free.exe")));
}
#endif

}  // namespace
