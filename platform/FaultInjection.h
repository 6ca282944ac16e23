#pragma once
// A seam for tests: every file operation and resource update asks it first and, when
// a test has installed an injector that says so, fails as the system would (an I/O
// error, or a full disk part-way through a write), leaving its usual reason text.
// Programs install nothing, and then every operation runs as usual.
#include <cstdint>

#include "platform/File.h"

namespace platform {

enum class FileOperation : uint8_t {
    open,  // File::Open, and so every stream, copy and mapping
    read,
    write,
    remove,
    rename,  // RenameFile, RenameFileReplacing
    copy,
    updateBegin,  // ResourceUpdate
    updateAdd,
    updateCommit,
};

class FaultInjector {
public:
    virtual ~FaultInjector() = default;
    // True when `operation` on `path` (empty for reads and writes) must fail.
    virtual bool Fails(FileOperation operation, const Path& path) = 0;
    // How many of the `count` bytes of a write fit on the disk; fewer than `count`
    // makes the write store that many and then fail as on a full disk.
    virtual int64_t Room(int64_t count) { return count; }
};

// Installs `injector` (the caller keeps it); nullptr removes it.
void InstallFaultInjector(FaultInjector* injector);

// For the implementations of the file and resource services.
bool InjectedFailure(FileOperation operation, const Path& path = {});
int64_t InjectedRoom(int64_t count);

}  // namespace platform
