// The resource update on a real executable: both ways it writes (patched where the file lies,
// or rewritten whole into a staging file) keep the file's identity, never touch a file that
// is not theirs, and leave the executable as it was when they fail.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "pe/format.h"
#include "pe/resource_editor.h"
#include "platform/Resources.h"
#include "rtl/Stream.h"
#include "tests/pe/test_support.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using pe_test::Bytes;
using pe_test::Pattern;

// A certificate table in the overlay: any edit drops it, which only a rewrite can do.
std::vector<uint8_t> Signed(std::vector<uint8_t> image) {
    const pe::PeImage headers(image);
    const uint64_t entry = headers.OptionalHeaderOffset() + pe::format::kOhDataDirectories +
                           8 * pe::format::kDirCertificate;
    const uint32_t at = static_cast<uint32_t>(image.size()), size = 64;
    std::memcpy(&image[entry], &at, 4);
    std::memcpy(&image[entry + 4], &size, 4);
    const auto certificate = Pattern(size, 4);
    image.insert(image.end(), certificate.begin(), certificate.end());
    return image;
}

struct Way {
    const char* name;
    bool rewritten;
};

class ResourceUpdateWay : public test_support::ScratchFolder,
                          public testing::WithParamInterface<Way> {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        const auto fixture = pe_test::ReadFile(pe_test::FixturePath("paddedreloc.exe"));
        original_ = GetParam().rewritten ? Signed(fixture) : fixture;
        exe_ = Path(u"package.exe");
        pe_test::WriteFile(Native(exe_), original_);
        ASSERT_EQ(pe::ResourceEditor(original_).PlanInPlace().has_value(), !GetParam().rewritten);
    }
    static std::string Native(const rtl::String& path) { return rtl::Utf8Encode(path); }

    bool Update(const rtl::String& path, const std::vector<uint8_t>& data) {
        platform::ResourceUpdate update;
        return update.Begin(path) && update.Add(u"ENCRYPTEDFILE", data) && update.Commit();
    }
    std::vector<uint8_t> Resource(const rtl::String& path) {
        const auto image = pe_test::ReadFile(Native(path));
        const pe::ResourceEditor editor(image);
        const auto* data = editor.Find(pe::kRtRcData, u"ENCRYPTEDFILE");
        return data ? std::vector<uint8_t>(data->bytes.begin(), data->bytes.end())
                    : std::vector<uint8_t>();
    }

    std::vector<uint8_t> original_;
    rtl::String exe_;
};

TEST_P(ResourceUpdateWay, LeavesAFileThatTakesItsStagingNameAlone) {
    const rtl::String taken = exe_ + u".cofrex-update";
    pe_test::WriteFile(Native(taken), Bytes("the user's own file"));
    const auto data = Pattern(70001, 5);
    ASSERT_TRUE(Update(exe_, data));
    EXPECT_EQ(Resource(exe_), data);
    EXPECT_EQ(pe_test::ReadFile(Native(taken)), Bytes("the user's own file"));
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(Native(folder_)))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u) << "a staging file was left behind";
}

#ifndef _WIN32
TEST_P(ResourceUpdateWay, KeepsTheModeBits) {
    ASSERT_EQ(::chmod(Native(exe_).c_str(), 0751), 0);
    ASSERT_TRUE(Update(exe_, Pattern(1000, 1)));
    struct stat info;
    ASSERT_EQ(::stat(Native(exe_).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);
}

TEST_P(ResourceUpdateWay, UpdatesTheTargetOfASymbolicLink) {
    const rtl::String link = Path(u"link.exe");
    ASSERT_EQ(::symlink(Native(exe_).c_str(), Native(link).c_str()), 0);
    const auto data = Pattern(1000, 2);
    ASSERT_TRUE(Update(link, data));
    EXPECT_TRUE(fs::is_symlink(fs::path(Native(link))));
    EXPECT_EQ(Resource(exe_), data);
}

// A file size limit makes the writes fail part-way, as a full disk would.
TEST_P(ResourceUpdateWay, AFailedWriteLeavesTheExecutableAsItWas) {
    struct rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = original_.size() + 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool updated = Update(exe_, Pattern(100000, 3));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(updated);
    EXPECT_EQ(pe_test::ReadFile(Native(exe_)), original_);
    EXPECT_FALSE(fs::exists(fs::path(Native(exe_ + u".cofrex-update"))));
}
#endif

INSTANTIATE_TEST_SUITE_P(Ways, ResourceUpdateWay,
                         testing::Values(Way{"Patched", false}, Way{"Rewritten", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
