#pragma once
// A package as the command-line tool reads it: the four resources straight from
// the file, mapped (the program is never run and its image never copied).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Resources.h"
#include "rtl/String.h"

namespace cli {

class Package {
public:
    // Throws CommandError(kFailure) naming the file when it cannot be read or is
    // not a PE image with a sound resource directory.
    explicit Package(const rtl::String& path);

    const rtl::String& Path() const { return path_; }
    // Absent when the package lacks the resource (or a text holds no line).
    const std::optional<std::span<const uint8_t>>& EncryptedFile() const { return encrypted_; }
    const std::optional<rtl::String>& FileName() const { return fileName_; }
    const std::optional<rtl::String>& Salt() const { return salt_; }
    const std::optional<rtl::String>& CheckValue() const { return checkValue_; }

    // What makes it no sound package, one entry per fault; empty when it is sound.
    std::vector<std::string> Problems() const;
    // Throws CommandError(kFailure) naming the file and the first missing resource.
    void RequireResources() const;

private:
    std::optional<rtl::String> Text(const char16_t* name);

    rtl::String path_;
    std::unique_ptr<platform::PeFileResources> resources_;
    std::optional<std::span<const uint8_t>> encrypted_;
    std::optional<rtl::String> fileName_, salt_, checkValue_;
    std::vector<std::string> missing_;
};

// The path as UTF-8, for messages.
std::string Utf8(const rtl::String& text);

}  // namespace cli
