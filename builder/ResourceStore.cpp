#include "builder/ResourceStore.h"

#include <cstdint>
#include <span>

#include "builder/UniqueName.h"
#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/MappedFile.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"
#include "rtl/TextFile.h"

namespace builder {
namespace {

// A resource's size is a signed 32-bit count.
constexpr int64_t kResourceLimit = INT64_C(1) << 31;

// Maps a data file whole. The mapping never has a null data pointer, which the
// system's resource update needs to tell "add empty data" from "delete".
// The size is checked before the mapping, which would read all of it.
void MapWhole(platform::MappedFile& file, const rtl::String& path) {
    platform::File measured =
        platform::File::Open(path, platform::Access::read, platform::Share::denyWrite,
                             platform::Disposition::openExisting);
    if (measured.IsOpen() && measured.Size() >= kResourceLimit)
        throw rtl::Exception(u"The file \"" + path +
                             u"\" is too large for a package: its size must stay below 2 GB.");
    if (!file.Open(path))
        throw rtl::EFOpenError(rtl::ExpandFileName(path), platform::LastErrorText());
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

// One update cycle with the whole content of `dataPath`, mapped for its duration.
void UpdateFromFile(const rtl::String& exePath, const rtl::String& dataPath,
                    const rtl::String& resName) {
    platform::MappedFile data;
    MapWhole(data, dataPath);
    AddResourceData(exePath, resName, data.Bytes());
}

}  // namespace

void AddResourceData(const rtl::String& exePath, const rtl::String& resName,
                     std::span<const uint8_t> data) {
    platform::ResourceUpdate update;
    if (!update.Begin(exePath)) throw rtl::Exception(u"Could not open file for writing.");
    if (!update.Add(resName, data)) throw rtl::Exception(u"Could not add resource.");
    if (!update.Commit()) throw rtl::Exception(u"Could not write changes to file.");
}

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
    const RemoveOnExit temp{ReserveFreeName(platform::TempFolder(), kTempResourceName)};
    WriteFile(temp.path, bytes);
    platform::MappedFile text;
    MapWhole(text, temp.path);
    const std::span<const uint8_t> bytesRead = text.Bytes();
    value = rtl::LoadFirstLine(
        std::string_view(reinterpret_cast<const char*>(bytesRead.data()), bytesRead.size()),
        platform::AnsiCodePage());
}

void AddResource(const rtl::String& exePath, bool fromText, const rtl::String& value,
                 const rtl::String& resName) {
    if (!fromText) return UpdateFromFile(exePath, value, resName);
    const rtl::String tempPath = ReserveFreeName(platform::TempFolder(), kTempResourceName);
    const std::string line = rtl::SaveOneLineText(value, platform::AnsiCodePage());
    WriteFile(tempPath, std::span(reinterpret_cast<const uint8_t*>(line.data()), line.size()));
    UpdateFromFile(exePath, tempPath, resName);
    // The data's view is released by now: a mapped file cannot be deleted.
    if (!platform::RemoveFile(tempPath))
        throw rtl::Exception(u"Could not delete the temporary file \"" + tempPath + u"\". " +
                             platform::LastErrorText() + u".");
}

}  // namespace builder
