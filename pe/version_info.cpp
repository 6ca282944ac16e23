#include "pe/version_info.h"

#include "pe/byte_view.h"
#include "pe/error.h"

namespace pe {
namespace {

// VS_VERSIONINFO: wLength, wValueLength, wType, the key L"VS_VERSION_INFO" with its
// terminator (16 UTF-16 units), padding to 32 bits, then VS_FIXEDFILEINFO.
constexpr uint64_t kFixedInfoOffset = 6 + 16 * 2 + 2;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint64_t kFileVersionMs = 8;
constexpr uint64_t kFileVersionLs = 12;

}  // namespace

std::optional<std::string> FileVersion(const ResourceTree& resources) {
    const auto type = resources.types.find(kRtVersion);
    if (type == resources.types.end() || type->second.names.empty()) return std::nullopt;
    const auto& languages = type->second.names.begin()->second.languages;
    if (languages.empty()) return std::nullopt;
    const ByteView info(languages.begin()->second.bytes);
    try {
        if (info.U32(kFixedInfoOffset, "version information") != kFixedInfoSignature)
            return std::nullopt;
        const uint32_t ms = info.U32(kFixedInfoOffset + kFileVersionMs, "version information");
        const uint32_t ls = info.U32(kFixedInfoOffset + kFileVersionLs, "version information");
        return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
               std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
    } catch (const PeError&) {
        return std::nullopt;
    }
}

}  // namespace pe
