#pragma once
// The progress bar on standard error, drawn only when it is a terminal:
//   Unlocking [##########..........]  50%  128.0 MiB / 256.0 MiB  64.0 MiB/s  0:02 left
#include <chrono>
#include <cstdint>
#include <string>

#include "cli/Console.h"

namespace cli {

// One line of the bar (no carriage return): `done` of `total` bytes after
// `seconds`. The rate and the time left show once some bytes are done.
std::string FormatProgress(std::string_view label, int64_t done, int64_t total, double seconds);
// "512 B", "1.5 KiB", "256.0 MiB", "1.00 GiB".
std::string FormatSize(int64_t bytes);

class ProgressBar {
public:
    ProgressBar(Console& console, std::string label, int64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws the line for `percent` of the total when it changed.
    void Update(int32_t percent);

private:
    Console& console_;
    std::string label_;
    int64_t total_;
    bool shown_;
    int32_t last_ = -1;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace cli
