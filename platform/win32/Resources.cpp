#include "platform/Resources.h"

#include <windows.h>

#include "platform/FaultInjection.h"

namespace platform {

constexpr char16_t kInjected[] = u"a failure injected by a test";

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string SystemReason() {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string reason(reinterpret_cast<const char16_t*>(text), length);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r')) reason.pop_back();
    return reason;
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

struct ResourceUpdate::Pending {
    HANDLE handle = nullptr;
};

ResourceUpdate::ResourceUpdate() = default;

// An update that was not committed is released with its changes discarded.
ResourceUpdate::~ResourceUpdate() {
    if (pending_) EndUpdateResourceW(pending_->handle, TRUE);
}

bool ResourceUpdate::Begin(const std::u16string& exePath) {
    if (InjectedFailure(FileOperation::updateBegin, exePath)) return error_ = kInjected, false;
    if (pending_) EndUpdateResourceW(pending_->handle, TRUE);
    pending_.reset();
    HANDLE handle = BeginUpdateResourceW(Wide(exePath), FALSE);
    if (!handle) return error_ = SystemReason(), false;
    pending_ = std::make_unique<Pending>(Pending{handle});
    return true;
}

bool ResourceUpdate::Add(const std::u16string& name, std::span<const uint8_t> data) {
    if (!pending_) return error_ = u"no update is pending", false;
    if (InjectedFailure(FileOperation::updateAdd)) return error_ = kInjected, false;
    if (!UpdateResourceW(pending_->handle, MAKEINTRESOURCEW(10), Wide(name), 0,
                         const_cast<uint8_t*>(data.data()), static_cast<DWORD>(data.size()))) {
        error_ = SystemReason();
        EndUpdateResourceW(pending_->handle, TRUE);
        pending_.reset();
        return false;
    }
    return true;
}

bool ResourceUpdate::Commit() {
    if (!pending_) return error_ = u"no update is pending", false;
    if (InjectedFailure(FileOperation::updateCommit)) return error_ = kInjected, false;
    const HANDLE handle = pending_->handle;
    pending_.reset();
    if (!EndUpdateResourceW(handle, FALSE)) return error_ = SystemReason(), false;
    return true;
}

}  // namespace platform
