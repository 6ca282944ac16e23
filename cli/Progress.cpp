#include "cli/Progress.h"

#include <cstdio>

namespace cli {
namespace {

constexpr int kBarWidth = 20;

std::string Printf(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string FormatTime(double seconds) {
    const auto whole = static_cast<int64_t>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(whole / 60),
                  static_cast<long long>(whole % 60));
    return text;
}

}  // namespace

std::string FormatSize(int64_t bytes) {
    const double value = static_cast<double>(bytes);
    if (bytes < 1024) return std::to_string(bytes) + " B";
    if (bytes < 1024 * 1024) return Printf("%.1f KiB", value / 1024);
    if (bytes < 1024 * 1024 * 1024) return Printf("%.1f MiB", value / (1024 * 1024));
    return Printf("%.2f GiB", value / (1024 * 1024 * 1024));
}

std::string FormatProgress(std::string_view label, int64_t done, int64_t total, double seconds) {
    const int64_t percent = total > 0 ? done * 100 / total : 100;
    const int64_t filled = percent * kBarWidth / 100;
    std::string line(label);
    line += " [" + std::string(static_cast<size_t>(filled), '#') +
            std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
    line += Printf("%3.0f%%", static_cast<double>(percent));
    line += "  " + FormatSize(done) + " / " + FormatSize(total);
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        line += "  " + FormatSize(static_cast<int64_t>(rate)) + "/s";
        line += "  " + FormatTime(static_cast<double>(total - done) / rate) + " left";
    }
    return line;
}

ProgressBar::ProgressBar(Console& console, std::string label, int64_t total)
    : console_(console), label_(std::move(label)), total_(total), shown_(console.ErrIsTerminal()) {}

ProgressBar::~ProgressBar() {
    if (shown_ && last_ >= 0) console_.Err("\n");
}

void ProgressBar::Update(int32_t percent) {
    if (!shown_ || percent == last_) return;
    last_ = percent;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
    // Trailing blanks wipe what a longer line before left.
    console_.Err("\r" + FormatProgress(label_, total_ * percent / 100, total_, elapsed.count()) +
                 "   ");
}

}  // namespace cli
