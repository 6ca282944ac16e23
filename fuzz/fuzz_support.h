#pragma once
// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer keeps the input), and the ways fuzzed bytes become texts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "rtl/String.h"

namespace fuzz {

inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// Consecutive byte pairs as UTF-16 code units, little-endian; an odd last byte is dropped.
inline rtl::String Utf16Text(std::span<const uint8_t> bytes) {
    rtl::String text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

// A new empty folder for one input, removed with everything in it afterwards.
class ScratchFolder {
public:
    // Made in the temporary folder of the process's start: a target may point TMPDIR
    // at its scratch folder.
    explicit ScratchFolder(const char* prefix) {
        static const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::string name = (base / (std::string(prefix) + "-XXXXXX")).string();
        Check(mkdtemp(name.data()) != nullptr, "no scratch folder");
        path_ = name;
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Each byte as the character of the same code.
inline rtl::String ByteText(std::span<const uint8_t> bytes) {
    return rtl::String(bytes.begin(), bytes.end());
}

}  // namespace fuzz
