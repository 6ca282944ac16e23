#include "platform/Resources.h"

#include <windows.h>

#include "platform/ReplaceFile.h"

namespace platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The module's own resources, found by FindResourceW and mapped with the image.
class ModuleResources : public ProgramResources {
public:
    bool Find(const std::u16string& name, std::span<const uint8_t>& bytes) const override {
        HRSRC info = FindResourceW(nullptr, Wide(name), MAKEINTRESOURCEW(10));
        if (!info) return false;
        HGLOBAL loaded = LoadResource(nullptr, info);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return false;
        bytes = {static_cast<const uint8_t*>(data), SizeofResource(nullptr, info)};
        return true;
    }
};

}  // namespace

const ProgramResources& DefaultProgramResources() {
    static const ModuleResources module;
    return module;
}

// Opening a path already follows a link to its target.
Path ResolvedPath(const Path& path) {
    return path;
}

bool CopyPermissions(const Path&, File&) {
    return true;
}

// ReplaceFileW gives the new file the old one's attributes, security and creation time.
bool ReplaceWithStaging(const Path& staging, const Path& target) {
    if (ReplaceFileW(Wide(target), Wide(staging), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        return true;
    }
    if (MoveFileExW(Wide(staging), Wide(target), MOVEFILE_REPLACE_EXISTING)) return true;
    RememberLastError(static_cast<int>(GetLastError()));
    return false;
}

}  // namespace platform
