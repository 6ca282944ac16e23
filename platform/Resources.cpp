#include "platform/Resources.h"

#include <stdexcept>

#include "pe/resource_editor.h"
#include "platform/File.h"
#include "platform/Utf8.h"

namespace platform {
namespace {

const ProgramResources* installed = nullptr;

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

// Mapped, not read: a resource is then written out in one pass from the file's own pages.
PeFileResources::PeFileResources(const std::u16string& path) {
    if (!image_.Open(path)) throw std::runtime_error(Utf8Encode(LastErrorText()));
    index_ = std::make_unique<Index>(image_.Bytes());
}

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
