#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/File.h"
#include "platform/MappedFile.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

namespace {

using MappedFile = test_support::ScratchFolder;

// Windows refuses to delete a file with a mapped view; the platform layer does
// the same everywhere, whatever name the file is removed by.
TEST_F(MappedFile, MappedFileCannotBeRemovedUntilItsViewIsReleased) {
    {
        rtl::TFileStream out(Path(u"data.bin"), rtl::fmCreate);
        out.WriteBuffer("0123456789", 10);
    }
    std::filesystem::create_hard_link(std::filesystem::path(Path(u"data.bin")),
                                      std::filesystem::path(Path(u"link.bin")));
    std::optional<platform::MappedFile> view(std::in_place);
    ASSERT_TRUE(view->Open(Path(u"data.bin")));
    EXPECT_FALSE(platform::RemoveFile(Path(u"data.bin")));
    EXPECT_FALSE(platform::RemoveFile(Path(u"link.bin")));
    EXPECT_TRUE(platform::FileExists(Path(u"data.bin")));
    EXPECT_FALSE(platform::LastErrorText().empty());

    view.reset();
    EXPECT_TRUE(platform::RemoveFile(Path(u"data.bin")));
    EXPECT_TRUE(platform::RemoveFile(Path(u"link.bin")));
}

TEST_F(MappedFile, ViewsOfOtherFilesDoNotStopARemoval) {
    rtl::TFileStream(Path(u"kept.bin"), rtl::fmCreate).WriteBuffer("x", 1);
    rtl::TFileStream(Path(u"gone.bin"), rtl::fmCreate).WriteBuffer("y", 1);
    platform::MappedFile view;
    ASSERT_TRUE(view.Open(Path(u"kept.bin")));
    EXPECT_TRUE(platform::RemoveFile(Path(u"gone.bin")));
    EXPECT_FALSE(platform::FileExists(Path(u"gone.bin")));
}

}  // namespace
