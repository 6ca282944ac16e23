// The native program carries exactly the unlocker that the Windows build made.
#include "cli/EmbeddedUnlocker.h"
#include "tests/cli/cli_support.h"

namespace {

TEST(EmbeddedUnlocker, IsTheCrossBuiltUnCofrexByteForByte) {
    const std::vector<uint8_t> built = cli_test::ReadBytes(COFREX_UNLOCKER_EXE);
    const std::span<const uint8_t> embedded = EmbeddedUnlocker();
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), built.begin(), built.end()));
}

}  // namespace
