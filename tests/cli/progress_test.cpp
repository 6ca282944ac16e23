#include "cli/Progress.h"

#include <gtest/gtest.h>

namespace {

struct ProgressCase {
    int64_t done, total;
    double seconds;
    const char* line;
};

TEST(ProgressLine, ShowsBarPercentSizesRateAndTimeLeft) {
    constexpr int64_t MiB = 1024 * 1024;
    const ProgressCase cases[] = {
        {0, 256 * MiB, 0.0, "Locking [....................]   0%  0 B / 256.0 MiB"},
        {128 * MiB, 256 * MiB, 2.0,
         "Locking [##########..........]  50%  128.0 MiB / 256.0 MiB  64.0 MiB/s  0:02 left"},
        {1000, 1000, 0.5,
         "Locking [####################] 100%  1000 B / 1000 B  2.0 KiB/s  0:00 left"},
        {MiB, 1024 * MiB, 1.0,
         "Locking [....................]   0%  1.0 MiB / 1.00 GiB  1.0 MiB/s  17:03 left"},
        {0, 0, 0.0, "Locking [####################] 100%  0 B / 0 B"},
    };
    for (const ProgressCase& c : cases)
        EXPECT_EQ(cli::FormatProgress("Locking", c.done, c.total, c.seconds), c.line);
}

}  // namespace
