// The resource update, the same on every system: the portable PE writer patches the
// executable where it lies (pe/image_patch.h), so that an update costs what it changes, and
// rewrites it whole only when it must, into a staging file that replaces it once complete.
// Either way a failed update leaves the executable as it was.
#include <algorithm>
#include <string>

#include "pe/error.h"
#include "pe/resource_editor.h"
#include "platform/FaultInjection.h"
#include "platform/File.h"
#include "platform/MappedFile.h"
#include "platform/ReplaceFile.h"
#include "platform/Resources.h"
#include "platform/Utf8.h"

namespace platform {
namespace {

constexpr char16_t kInjected[] = u"a failure injected by a test";

bool WritePiece(File& file, const pe::layout::Piece& p) {
    static const uint8_t kZeros[4096] = {};
    const auto size = static_cast<int64_t>(p.bytes.size());
    if (size != 0 && file.Write(p.bytes.data(), size) != size) return false;
    for (uint64_t left = p.zeros; left != 0;) {
        const auto n = static_cast<int64_t>(std::min<uint64_t>(left, sizeof kZeros));
        if (file.Write(kZeros, n) != n) return false;
        left -= static_cast<uint64_t>(n);
    }
    return true;
}

bool WriteAt(File& file, uint64_t offset, std::span<const uint8_t> bytes) {
    return file.Seek(static_cast<int64_t>(offset), 0) >= 0 && WritePiece(file, {bytes});
}

// The tail first, then the headers that make it part of the image.
bool Patch(File& file, pe::ImagePatch& patch) {
    if (file.Seek(static_cast<int64_t>(patch.tailOffset), 0) < 0) return false;
    bool written = true;
    patch.WriteTail([&](const pe::layout::Piece& p) { written = written && WritePiece(file, p); });
    return written && WriteAt(file, 0, patch.headers) &&
           (patch.size >= patch.oldSize || file.Truncate(static_cast<int64_t>(patch.size)));
}

// Puts back the old size and the old bytes of every range the patch wrote over.
void Undo(File& file, const pe::ImagePatch& patch) {
    file.Truncate(static_cast<int64_t>(patch.oldSize));
    for (const auto& range : patch.undo) WriteAt(file, range.offset, range.bytes);
}

// A new file beside `target` under a name that no one else has: "<target>.cofrex-update",
// or "-2", "-3"... after it when taken.
File CreateStagingFile(const Path& target, Path& staging) {
    for (int n = 1; n <= 100; ++n) {
        staging = target + u".cofrex-update";
        if (n > 1) staging += u"-" + Utf8Decode(std::to_string(n));
        File file = File::Open(staging, Access::write, Share::exclusive, Disposition::createNew);
        if (file.IsOpen()) {
            if (CopyPermissions(target, file)) return file;
            file.Close();
            RemoveFile(staging);
            return {};
        }
        if (!FileExists(staging)) break;
    }
    return {};
}

}  // namespace

struct ResourceUpdate::Pending {
    Path path;  // the executable itself, links resolved
    File file;  // held open for writing from Begin to Commit
    MappedFile image;
    std::unique_ptr<pe::ResourceEditor> editor;
};

ResourceUpdate::ResourceUpdate() = default;
ResourceUpdate::~ResourceUpdate() = default;

bool ResourceUpdate::Begin(const std::u16string& exePath) {
    pending_.reset();
    if (InjectedFailure(FileOperation::updateBegin, exePath)) return error_ = kInjected, false;
    auto pending = std::make_unique<Pending>();
    pending->path = ResolvedPath(exePath);
    pending->file =
        File::Open(pending->path, Access::readWrite, Share::denyWrite, Disposition::openExisting);
    if (!pending->file.IsOpen() || !pending->image.Open(pending->file)) {
        return error_ = LastErrorText(), false;
    }
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
    try {
        if (std::optional<pe::ImagePatch> patch = pending->editor->PlanInPlace()) {
            // The patch holds what it needs of the old bytes: the mapping goes before the
            // file changes under it (Windows cannot shorten a mapped file).
            pending->editor.reset();
            pending->image.Close();
            if (Patch(pending->file, *patch)) return true;
            error_ = LastErrorText();
            Undo(pending->file, *patch);
            return false;
        }
        return Rewrite(*pending);
    } catch (const pe::PeError& e) {
        return error_ = Utf8Decode(e.what()), false;
    }
}

bool ResourceUpdate::Rewrite(Pending& pending) {
    Path staging;
    File out = CreateStagingFile(pending.path, staging);
    if (!out.IsOpen()) return error_ = LastErrorText(), false;
    bool written = true;
    try {
        pending.editor->Write([&](std::span<const uint8_t> piece) {
            const auto size = static_cast<int64_t>(piece.size());
            if (written && out.Write(piece.data(), size) != size) written = false;
        });
    } catch (const pe::PeError&) {
        out.Close();
        RemoveFile(staging);
        throw;
    }
    if (!written) error_ = LastErrorText();
    out.Close();
    pending.editor.reset();
    pending.image.Close();
    pending.file.Close();
    if (written && !ReplaceWithStaging(staging, pending.path)) {
        error_ = LastErrorText();
        written = false;
    }
    if (!written) RemoveFile(staging);
    return written;
}

}  // namespace platform
