#include "cli/VerifyCommand.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>

#include "builder/PackageVerify.h"
#include "crypto/core/sha2.h"
#include "pe/error.h"
#include "pe/resource_editor.h"
#include "pe/version_info.h"
#include "rtl/Stream.h"
#include "rtl/String.h"

std::span<const uint8_t> EmbeddedUnlocker();

namespace cli {
namespace {

constexpr char kUsage[] = "usage: cofrex verify PACKAGE [--unlocker FILE]";

struct VerifyArguments {
    std::string package;
    std::optional<std::string> unlocker;
};

std::optional<VerifyArguments> ParseArguments(const std::vector<std::string>& args) {
    VerifyArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--unlocker") {
            if (i + 1 == args.size() || parsed.unlocker) return std::nullopt;
            parsed.unlocker = args[++i];
        } else if (args[i].starts_with("--") || !parsed.package.empty()) {
            return std::nullopt;
        } else {
            parsed.package = args[i];
        }
    }
    if (parsed.package.empty()) return std::nullopt;
    return parsed;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
    rtl::TFileStream in(rtl::Str(path), rtl::fmOpenRead | rtl::fmShareDenyWrite);
    std::vector<uint8_t> bytes(static_cast<size_t>(in.Size()));
    in.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

std::string Sha256Hex(std::span<const uint8_t> bytes) {
    uint8_t digest[32];
    core::Sha2Digest(bytes.data(), static_cast<uint32_t>(bytes.size()), 256, digest);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const uint8_t b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::string DescribeUnlocker(std::span<const uint8_t> unlocker) {
    const std::optional<std::string> version =
        pe::FileVersion(pe::ResourceEditor(unlocker).Resources());
    return "unlocker " + version.value_or("of unknown version") + ", SHA-256 " +
           Sha256Hex(unlocker);
}

// The unlocker given with --unlocker, checked to be a program before any package is read.
std::vector<uint8_t> ReadUnlocker(const std::string& path) {
    std::vector<uint8_t> bytes = ReadWhole(path);
    try {
        pe::PeImage{bytes};
    } catch (const pe::PeError& error) {
        throw std::runtime_error("the unlocker " + path +
                                 " is not a Windows program: " + error.what());
    }
    return bytes;
}

int Verify(const VerifyArguments& arguments) {
    std::vector<uint8_t> other;
    if (arguments.unlocker) other = ReadUnlocker(*arguments.unlocker);
    const std::span<const uint8_t> unlocker =
        arguments.unlocker ? std::span<const uint8_t>(other) : EmbeddedUnlocker();
    const builder::PackageCheck check =
        builder::VerifyPackage(rtl::Str(arguments.package), unlocker);
    if (check.verdict == builder::PackageVerdict::genuine) {
        std::printf("%s: genuine (%s)\n", arguments.package.c_str(),
                    DescribeUnlocker(unlocker).c_str());
        return 0;
    }
    std::printf("%s: not genuine: %s\n", arguments.package.c_str(),
                rtl::Utf8Encode(check.reason).c_str());
    return 3;
}

}  // namespace

int RunVerifyCommand(const std::vector<std::string>& args) {
    const std::optional<VerifyArguments> arguments = ParseArguments(args);
    if (!arguments) {
        std::fprintf(stderr, "cofrex: %s\n", kUsage);
        return 2;
    }
    try {
        return Verify(*arguments);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cofrex: %s\n", error.what());
        return 3;
    }
}

}  // namespace cli
