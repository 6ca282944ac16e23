#include "cli/VerifyCommand.h"

#include <cstdint>
#include <optional>
#include <span>

#include "builder/PackageResources.h"
#include "builder/PackageVerify.h"
#include "cli/Arguments.h"
#include "cli/CommandError.h"
#include "cli/Console.h"
#include "crypto/core/sha2.h"
#include "pe/error.h"
#include "pe/resource_editor.h"
#include "pe/version_info.h"
#include "platform/Resources.h"
#include "rtl/Stream.h"
#include "rtl/String.h"

namespace cli {
namespace {

constexpr char kUsageLine[] = "cofrex verify PACKAGE [--unlocker FILE]";
constexpr Option kOptions[] = {{nullptr, "--unlocker", true}};

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

// Another release's unlocker, checked to be a program before any package is read.
std::vector<uint8_t> ReadUnlocker(const std::string& path) {
    rtl::TFileStream in(PathOperand(path), rtl::fmOpenRead | rtl::fmShareDenyWrite);
    std::vector<uint8_t> bytes(static_cast<size_t>(in.Size()));
    in.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    try {
        pe::PeImage{bytes};
    } catch (const pe::PeError& error) {
        throw CommandError(kFailure,
                           "the unlocker " + path + " is not a Windows program: " + error.what());
    }
    return bytes;
}

// The unlocker this program carries, the one its locks use.
std::span<const uint8_t> CarriedUnlocker() {
    std::span<const uint8_t> bytes;
    if (!platform::RunningProgramResources().Find(builder::kUnlockerResource, bytes))
        throw CommandError(kFailure, "this program carries no unlocker: give one with --unlocker");
    return bytes;
}

}  // namespace

int RunVerifyCommand(const std::vector<std::string>& args) {
    const Arguments arguments = ParseArguments(args, kOptions);
    ExpectOperands(arguments, 1, kUsageLine);
    std::vector<uint8_t> given;
    if (arguments.Has("--unlocker")) given = ReadUnlocker(arguments.Value("--unlocker"));
    const std::span<const uint8_t> unlocker =
        arguments.Has("--unlocker") ? std::span<const uint8_t>(given) : CarriedUnlocker();

    const std::string& package = arguments.operands[0];
    const builder::PackageCheck check = builder::VerifyPackage(PathOperand(package), unlocker);
    if (check.verdict == builder::PackageVerdict::genuine) {
        CurrentConsole().Out(package + ": genuine (" + DescribeUnlocker(unlocker) + ")\n");
        return kSuccess;
    }
    CurrentConsole().Out(package + ": not genuine: " + rtl::Utf8Encode(check.reason) + "\n");
    return kFailure;
}

}  // namespace cli
