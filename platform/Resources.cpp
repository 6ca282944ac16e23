#include "platform/Resources.h"

#include <stdexcept>

#include "pe/resource_editor.h"
#include "platform/File.h"
#include "platform/Utf8.h"

namespace platform {
namespace {

const ProgramResources* installed = nullptr;

std::vector<uint8_t> ReadWholeFile(const std::u16string& path) {
    File file = File::Open(path, Access::read, Share::denyWrite, Disposition::openExisting);
    const int64_t size = file.IsOpen() ? file.Size() : -1;
    if (size < 0) throw std::runtime_error(Utf8Encode(LastErrorText()));
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (file.Read(bytes.data(), size) != size)
        throw std::runtime_error(Utf8Encode(LastErrorText()));
    return bytes;
}

}  // namespace

bool MemoryResources::Find(const std::u16string& name, std::span<const uint8_t>& bytes) const {
    const auto found = resources_.find(name);
    if (found == resources_.end()) return false;
    bytes = found->second;
    return true;
}

struct PeFileResources::Index {
    explicit Index(std::span<const uint8_t> image) : editor(image) {}
    pe::ResourceEditor editor;
};

PeFileResources::PeFileResources(const std::u16string& path)
    : image_(ReadWholeFile(path)), index_(std::make_unique<Index>(image_)) {}

PeFileResources::~PeFileResources() = default;

bool PeFileResources::Find(const std::u16string& name, std::span<const uint8_t>& bytes) const {
    const pe::ResourceData* data = index_->editor.Find(pe::kRtRcData, name);
    if (!data) return false;
    bytes = data->bytes;
    return true;
}

void SetRunningProgramResources(const ProgramResources* resources) {
    installed = resources;
}

// The running program's own resources, from the system's implementation file.
const ProgramResources& DefaultProgramResources();

const ProgramResources& RunningProgramResources() {
    return installed ? *installed : DefaultProgramResources();
}

}  // namespace platform
