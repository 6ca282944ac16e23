#pragma once
// Reads and edits the resources of a PE32+ image held in memory, and writes the edited image:
// as a patch of the file where it lies (PlanInPlace, pe/image_patch.h), or rewritten whole
// (Write). No file or OS calls: callers map or read the file and store what they get.
//
// Views, not copies: the editor keeps a view of the image given to the constructor and of
// every data span given to Set; both must stay alive and unchanged until the last Write.
// Data moved in as a vector is kept by the editor itself.
// Write streams the new image to a sink in pieces, copying each resource's bytes once.
//
// Errors: every failure throws PeError with an English message. The constructor checks the
// headers and the whole resource tree; Set refuses data of 2 GiB or more; Write checks the
// layout before the sink receives its first byte, so a refused edit writes nothing. An
// image whose FileAlignment is above 64 KiB, the format's limit, is refused: every edit
// would pad its raw data with that many zeros.
//
// Layout of a rewritten image:
// - If the resource directory sits in the section that is last both in memory and in the
//   file, and nothing else in the image points into that section, the section is rebuilt
//   from its start: same header, new VirtualSize (the content size) and SizeOfRawData
//   (content size rounded up to FileAlignment). Bytes a patch left unreferenced go.
// - Otherwise (linkers often place .reloc after .rsrc) a new section ".rsrc" is appended,
//   initialized read-only data, at the next SectionAlignment boundary after every section
//   (after its raw data too, which an unaligned section can map past its virtual size)
//   and at the next FileAlignment boundary after all section data; the old resource bytes
//   stay where they were, unreferenced. The section header goes into the zero bytes after
//   the section table; when the headers have no such room, Write throws. After one append
//   the resources are in the last section, so later edits rebuild in place.
// - The overlay (bytes after the last section's data) follows the resource section
//   unchanged, except that a certificate table found in it is removed: any edit breaks a
//   signature. The certificate directory entry is cleared in every case, and a COFF symbol
//   table pointer into the overlay is moved with it.
// - Updated header fields: NumberOfSections, SizeOfInitializedData (adjusted by the change
//   in raw size), SizeOfImage, the resource and certificate directory entries, the symbol
//   table pointer as above, and CheckSum (recomputed over the new file). Every other byte of
//   the headers and of the other sections is written unchanged.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "pe/image.h"
#include "pe/image_patch.h"
#include "pe/resource_tree.h"

namespace pe {

// Receives the output image as consecutive pieces; may throw to abandon the write.
using ByteSink = std::function<void(std::span<const uint8_t>)>;

class ResourceEditor {
public:
    explicit ResourceEditor(std::span<const uint8_t> image);

    const PeImage& Image() const { return image_; }
    const ResourceTree& Resources() const { return tree_; }

    // The resource with exactly this type, name and language, or nullptr.
    const ResourceData* Find(const ResourceId& type, const ResourceId& name,
                             const ResourceId& language) const;
    // By type and name only: language 0 if present, else the first language in table order.
    const ResourceData* Find(const ResourceId& type, const ResourceId& name) const;

    // Adds the resource, or replaces the data of the one with the same type, name and
    // language. `data` is referenced, not copied.
    void Set(const ResourceId& type, const ResourceId& name, const ResourceId& language,
             std::span<const uint8_t> data, uint32_t codePage = 0);
    // The same, for data the editor takes over (moved, not copied): no lifetime to manage.
    void Set(const ResourceId& type, const ResourceId& name, const ResourceId& language,
             std::vector<uint8_t>&& data, uint32_t codePage = 0);
    // Removes the resource and any directory it leaves empty; false if it did not exist.
    bool Remove(const ResourceId& type, const ResourceId& name, const ResourceId& language);

    // The edit written into the image where it lies, costing what it changes; nothing when
    // only a rewrite of the whole file can make it (pe/image_patch.h). Throws PeError.
    std::optional<ImagePatch> PlanInPlace() const;
    // The whole edited image, rewritten.
    void Write(const ByteSink& sink) const;
    std::vector<uint8_t> ToBytes() const;

private:
    PeImage image_;
    ResourceTree tree_;
    std::deque<std::vector<uint8_t>> owned_;
};

}  // namespace pe
