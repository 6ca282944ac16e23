#pragma once
// An edit of the resources written into the image file where it lies, so that an update
// costs what it changes rather than the size of the file. New data and a complete new
// directory go after the last section's raw data: into the section that holds the resource
// root when it is the last one in memory and in the file, or else into a ".rsrc" section
// added after all others. Resources already in the image stay where they are and the new
// directory points at them; the old directory tables stay behind, unreferenced. The overlay
// moves up behind the grown section. Headers change as for a rewrite (resource_editor.h),
// and CheckSum is brought up to date from the stored one and the words that changed.
//
// PlanAppend gives nothing when the edit needs a rewrite of the whole file instead: a
// certificate table to drop, an overlay over 8 MiB, a stored checksum that cannot be right,
// a file alignment above 64 KiB (which the rewrite refuses),
// or a grown section whose unreferenced bytes would pass both 1 MiB and its live bytes (the
// rewrite compacts it).
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "pe/checksum.h"
#include "pe/image.h"
#include "pe/layout.h"
#include "pe/resource_tree.h"

namespace pe {

struct ImagePatch {
    struct Range {
        uint64_t offset;
        std::span<const uint8_t> bytes;  // held in `owned`
    };
    // Bytes [0, headers.size()) become `headers`; the file from `tailOffset` on becomes
    // `tail` and is `size` bytes long. Other bytes stay.
    std::vector<uint8_t> headers;
    uint64_t tailOffset = 0;
    std::vector<layout::Piece> tail;
    uint64_t size = 0;
    // What puts the file back as it was: its old size and the old bytes of every range the
    // patch overwrites.
    uint64_t oldSize = 0;
    std::vector<Range> undo;
    // The new directory tables and copies of the old bytes the patch needs (old headers,
    // overlay): the patch holds no view of the old file, which its own writes change. New
    // resource data stays a view of the caller's bytes.
    std::deque<std::vector<uint8_t>> owned;

    // CheckSum as far as the planner knows it: everything but the tail's words, which the
    // writer sums as it writes them (one pass over large new data, not two).
    struct {
        uint32_t stored = 0;  // the old file's checksum, or its full sum when it had none
        uint64_t field = 0;   // offset of CheckSum in `headers`
        PeChecksum removed[2];
        PeChecksum headers;
    } checksum;

    // Bytes the patch writes, headers included.
    uint64_t WrittenBytes() const;
    // Gives the tail to `write` in order, as pieces of at most 1 MiB, then completes the
    // headers' CheckSum: write the headers after it.
    void WriteTail(const std::function<void(const layout::Piece&)>& write);
    // Applies the patch to a whole file held in memory.
    void ApplyTo(std::vector<uint8_t>& file);
};

std::optional<ImagePatch> PlanAppend(const PeImage& image, const ResourceTree& tree);

}  // namespace pe
