#include "platform/Resources.h"

#include <cstdio>

#include "pe/error.h"
#include "pe/resource_editor.h"
#include "platform/FaultInjection.h"
#include "platform/File.h"
#include "platform/MappedFile.h"
#include "platform/Utf8.h"

namespace platform {

constexpr char16_t kInjected[] = u"a failure injected by a test";

// A POSIX program has no resources of its own unless something installs them.
const ProgramResources& DefaultProgramResources() {
    static const MemoryResources none;
    return none;
}

// The portable writer maps the executable, edits a view of it, and replaces the
// file at Commit: the old file stays mapped, unchanged, while the new one is written.
struct ResourceUpdate::Pending {
    std::u16string path;
    MappedFile image;
    std::unique_ptr<pe::ResourceEditor> editor;
};

ResourceUpdate::ResourceUpdate() = default;
ResourceUpdate::~ResourceUpdate() = default;

bool ResourceUpdate::Begin(const std::u16string& exePath) {
    if (InjectedFailure(FileOperation::updateBegin, exePath)) return error_ = kInjected, false;
    pending_.reset();
    auto pending = std::make_unique<Pending>();
    pending->path = exePath;
    if (!pending->image.Open(exePath)) return error_ = LastErrorText(), false;
    try {
        pending->editor = std::make_unique<pe::ResourceEditor>(pending->image.Bytes());
    } catch (const pe::PeError& e) {
        return error_ = Utf8Decode(e.what()), false;
    }
    pending_ = std::move(pending);
    return true;
}

bool ResourceUpdate::Add(const std::u16string& name, std::span<const uint8_t> data) {
    if (!pending_) return error_ = u"no update is pending", false;
    if (InjectedFailure(FileOperation::updateAdd)) return error_ = kInjected, false;
    try {
        pending_->editor->Set(pe::kRtRcData, name, pe::kLangNeutral, data);
    } catch (const pe::PeError& e) {
        pending_.reset();
        return error_ = Utf8Decode(e.what()), false;
    }
    return true;
}

bool ResourceUpdate::Commit() {
    if (!pending_) return error_ = u"no update is pending", false;
    if (InjectedFailure(FileOperation::updateCommit)) return error_ = kInjected, false;
    const std::unique_ptr<Pending> pending = std::move(pending_);
    // The new image goes to a file beside the old one and replaces it only when
    // complete, so a failure leaves the executable as it was.
    const std::u16string staging = pending->path + u".cofrex-update";
    try {
        File out = File::Open(staging, Access::write, Share::exclusive, Disposition::createAlways);
        if (!out.IsOpen()) return error_ = LastErrorText(), false;
        bool written = true;
        pending->editor->Write([&](std::span<const uint8_t> piece) {
            if (written && out.Write(piece.data(), static_cast<int64_t>(piece.size())) < 0)
                written = false;
        });
        out.Close();
        if (!written) {
            error_ = LastErrorText();
            RemoveFile(staging);
            return false;
        }
    } catch (const pe::PeError& e) {
        RemoveFile(staging);
        return error_ = Utf8Decode(e.what()), false;
    }
    if (std::rename(Utf8Encode(staging).c_str(), Utf8Encode(pending->path).c_str()) != 0) {
        error_ = LastErrorText();
        RemoveFile(staging);
        return false;
    }
    return true;
}

}  // namespace platform
