#pragma once
// Raw-data (RT_RCDATA) resources: those of the running program, and the
// resource update of an executable file.
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/MappedFile.h"

namespace platform {

// Resources a program can look up by name. The bytes stay valid as long as the
// object does.
class ProgramResources {
public:
    virtual ~ProgramResources() = default;
    // The RT_RCDATA resource `name` of any language; false when there is none.
    virtual bool Find(const std::u16string& name, std::span<const uint8_t>& bytes) const = 0;
};

// Resources held in memory: compiled into a program or made by a test.
class MemoryResources : public ProgramResources {
public:
    void Add(const std::u16string& name, std::vector<uint8_t> bytes) {
        resources_[name] = std::move(bytes);
    }
    bool Find(const std::u16string& name, std::span<const uint8_t>& bytes) const override;

private:
    std::map<std::u16string, std::vector<uint8_t>> resources_;
};

// The resources of a PE image file, mapped. Throws pe::PeError for a file that
// is not a valid image and std::runtime_error when it cannot be read.
class PeFileResources : public ProgramResources {
public:
    explicit PeFileResources(const std::u16string& path);
    ~PeFileResources() override;
    bool Find(const std::u16string& name, std::span<const uint8_t>& bytes) const override;

private:
    MappedFile image_;
    struct Index;
    std::unique_ptr<Index> index_;
};

// The running program's resources: on Windows its own module; elsewhere those
// installed with SetRunningProgramResources (none until then).
const ProgramResources& RunningProgramResources();
// Replaces what RunningProgramResources answers; nullptr restores the default.
// The caller keeps ownership.
void SetRunningProgramResources(const ProgramResources* resources);

// One update cycle of an executable's resources, keeping those it has. Release
// without Commit abandons the pending changes: nothing reaches the file.
// On Windows: BeginUpdateResourceW / UpdateResourceW / EndUpdateResourceW;
// elsewhere the portable PE writer.
class ResourceUpdate {
public:
    ResourceUpdate();
    ~ResourceUpdate();
    ResourceUpdate(const ResourceUpdate&) = delete;
    ResourceUpdate& operator=(const ResourceUpdate&) = delete;

    bool Begin(const std::u16string& exePath);
    // Adds or replaces RT_RCDATA `name` of language 0. `data` must stay alive and
    // unchanged until Commit returns.
    bool Add(const std::u16string& name, std::span<const uint8_t> data);
    bool Commit();
    // Why the last step failed, in English.
    const std::u16string& Error() const { return error_; }

private:
    struct Pending;
    std::unique_ptr<Pending> pending_;
    std::u16string error_;
};

}  // namespace platform
