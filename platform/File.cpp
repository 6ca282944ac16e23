#include "platform/File.h"

#include <string_view>

namespace platform {

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

File::~File() {
    Close();
}

namespace {

#ifdef _WIN32
constexpr std::u16string_view kDelimiters = u"\\/:";
#else
constexpr std::u16string_view kDelimiters = u"/";
#endif

// Where the folder part of a full path ends (after its last delimiter).
size_t NameStart(const Path& full) {
    const size_t last = full.find_last_of(kDelimiters);
    return last == Path::npos ? 0 : last + 1;
}

}  // namespace

bool SameFile(const Path& a, const Path& b) {
    FileIdentity first, second;
    return IdentifyFile(a, first) && IdentifyFile(b, second) && first == second;
}

bool SameLocation(const Path& a, const Path& b) {
    FileIdentity first, second;
    const bool firstExists = IdentifyFile(a, first), secondExists = IdentifyFile(b, second);
    if (firstExists || secondExists) return firstExists && secondExists && first == second;
    const Path fullA = FullPath(a), fullB = FullPath(b);
    const size_t nameA = NameStart(fullA), nameB = NameStart(fullB);
    return SameFileName(fullA.substr(nameA), fullB.substr(nameB)) &&
           SameFile(fullA.substr(0, nameA), fullB.substr(0, nameB));
}

}  // namespace platform
