#include "builder/ResourceStore.h"

#include <cstdint>
#include <span>
#include <vector>

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "rtl/Stream.h"
#include "rtl/TextFile.h"

namespace builder {
namespace {

// A resource's size is a signed 32-bit count.
constexpr int64_t kResourceLimit = INT64_C(1) << 31;

std::vector<uint8_t> ReadWhole(rtl::TStream& stream, const rtl::String& path) {
    const int64_t size = stream.Size();
    if (size < 0) throw rtl::EFOpenError(path, platform::LastErrorText());
    if (size >= kResourceLimit)
        throw rtl::Exception(u"The file \"" + path +
                             u"\" is too large for a package: its size must stay below 2 GB.");
    // One byte more, a zero: an empty resource still has a data pointer, which
    // the system's resource update needs to tell "add empty" from "delete".
    std::vector<uint8_t> bytes(static_cast<size_t>(size) + 1, 0);
    stream.ReadBuffer(bytes.data(), size);
    return bytes;
}

void WriteFile(const rtl::String& path, std::span<const uint8_t> bytes) {
    rtl::TFileStream out(path, rtl::fmCreate);
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Removes the temporary file when the scope ends, whatever happened.
struct RemoveOnExit {
    rtl::String path;
    ~RemoveOnExit() { platform::RemoveFile(path); }
};

}  // namespace

rtl::String TempResourcePath() {
    return platform::TempFolder() + kTempResourceName;
}

void ReadResource(const rtl::String& resName, bool asText, rtl::String& value) {
    std::span<const uint8_t> bytes;
    if (!platform::RunningProgramResources().Find(resName, bytes)) throw rtl::EResNotFound(resName);
    if (!asText) {
        WriteFile(value, bytes);
        return;
    }
    const RemoveOnExit temp{TempResourcePath()};
    WriteFile(temp.path, bytes);
    rtl::TFileStream in(temp.path, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    const std::vector<uint8_t> text = ReadWhole(in, temp.path);
    value = rtl::LoadFirstLine(
        std::string_view(reinterpret_cast<const char*>(text.data()), text.size() - 1),
        platform::AnsiCodePage());
}

void AddResource(const rtl::String& exePath, bool fromText, const rtl::String& value,
                 const rtl::String& resName) {
    const rtl::String tempPath = TempResourcePath();
    rtl::String dataPath = value;
    if (fromText) {
        const std::string line = rtl::SaveOneLineText(value, platform::AnsiCodePage());
        WriteFile(tempPath, std::span(reinterpret_cast<const uint8_t*>(line.data()), line.size()));
        dataPath = tempPath;
    }
    std::vector<uint8_t> data;
    {
        rtl::TFileStream in(dataPath, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        data = ReadWhole(in, dataPath);
    }
    platform::ResourceUpdate update;
    if (!update.Begin(exePath)) throw rtl::Exception(u"Could not open file for writing.");
    if (!update.Add(resName, std::span(data.data(), data.size() - 1)))
        throw rtl::Exception(u"Could not add resource.");
    if (!update.Commit()) throw rtl::Exception(u"Could not write changes to file.");
    platform::RemoveFile(tempPath);
}

}  // namespace builder
