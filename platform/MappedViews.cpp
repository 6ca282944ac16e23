// Windows refuses to delete a file while a view of it is mapped; POSIX and Wine
// do not. Keeping the views of this process in one list lets RemoveFile refuse
// them everywhere, so code that deletes before it unmaps fails on every platform
// and not only on a user's Windows machine.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/MappedFile.h"

namespace platform::mapped_views {
namespace {

std::mutex guard;
std::vector<FileIdentity> views;

}  // namespace

void Add(const FileIdentity& identity) {
    const std::lock_guard lock(guard);
    views.push_back(identity);
}

void Remove(const FileIdentity& identity) {
    const std::lock_guard lock(guard);
    const auto found = std::find(views.begin(), views.end(), identity);
    if (found != views.end()) views.erase(found);
}

bool Holds(const Path& path) {
    {
        const std::lock_guard lock(guard);
        if (views.empty()) return false;
    }
    FileIdentity identity;
    if (!IdentifyFile(path, identity)) return false;
    const std::lock_guard lock(guard);
    return std::find(views.begin(), views.end(), identity) != views.end();
}

}  // namespace platform::mapped_views
