#include "pe/image_patch.h"

#include <algorithm>

#include "pe/byte_view.h"
#include "pe/checksum.h"
#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_writer.h"

namespace pe {

using namespace format;
using namespace layout;

namespace {

constexpr uint64_t kMaxOverlayCopy = uint64_t{8} << 20;
constexpr uint64_t kCompactFloor = uint64_t{1} << 20;

// Bytes of the grown section that the new directory still references: its own tables and
// new data, and the old data it keeps that lies in the section.
uint64_t LiveBytes(const ResourceTree& tree, const Section& s, uint64_t contentRva,
                   uint64_t contentSize) {
    uint64_t live = contentSize;
    for (const auto& [type, names] : tree.types)
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages)
                if (data.rva >= s.virtualAddress && data.rva < contentRva)
                    live += data.bytes.size();
    return live;
}

// Every sum CheckSum needs but the tail's; false when the stored checksum cannot be right.
bool PlanChecksum(const PeImage& image, ImagePatch& patch) {
    const ByteView& file = image.File();
    auto& checksum = patch.checksum;
    checksum.field = image.OptionalHeaderOffset() + kOhCheckSum;
    std::vector<uint8_t> oldHeaders(patch.undo.front().bytes.begin(),
                                    patch.undo.front().bytes.end());
    std::fill_n(oldHeaders.begin() + static_cast<ptrdiff_t>(checksum.field), 4, 0);
    checksum.removed[0].Update(oldHeaders);
    checksum.removed[1].Update(patch.undo.back().bytes);
    checksum.headers.Update(patch.headers);
    checksum.stored = file.U32(checksum.field, "optional header");
    if (checksum.stored == 0) {
        // No checksum yet: the old file's words are summed once.
        PeChecksum whole;
        whole.Update(oldHeaders);
        whole.Update(file.Bytes(oldHeaders.size(), file.size() - oldHeaders.size(), "image"));
        checksum.stored = whole.Finish();
    }
    return AdjustChecksum(checksum.stored, patch.oldSize, checksum.removed, {}, 0).has_value();
}

}  // namespace

std::optional<ImagePatch> PlanAppend(const PeImage& image, const ResourceTree& tree) {
    const ByteView& file = image.File();
    const auto& sections = image.Sections();
    if (image.NumberOfRvaAndSizes() <= kDirResource) return std::nullopt;
    if (image.FileAlignment() > kMaxFileAlignment) return std::nullopt;
    if (image.Directory(kDirCertificate).size != 0) return std::nullopt;
    const uint64_t tailOffset = image.EndOfSectionData();
    const uint64_t overlay = file.size() - tailOffset;
    if (tailOffset % 2 != 0 || overlay > kMaxOverlayCopy) return std::nullopt;

    // Where the new content goes: `base` bytes into the grown or the added section.
    HeaderEdit edit;
    uint64_t base = 0;
    uint32_t oldRawSize = 0;
    const std::optional<size_t> last = LastResourceSection(image);
    if (last && sections[*last].virtualSize <= sections[*last].sizeOfRawData &&
        sections[*last].RawEnd() == tailOffset) {
        const Section& s = sections[*last];
        edit.section = last;
        edit.sectionRva = s.virtualAddress;
        edit.rawPointer = s.pointerToRawData;
        base = oldRawSize = s.sizeOfRawData;
    } else {
        if (!HasHeaderRoom(image)) return std::nullopt;
        edit.sectionRva = NextSectionRva(image);
        edit.rawPointer = AlignUp(tailOffset, image.FileAlignment());
    }
    const uint64_t contentRva = edit.sectionRva + base;
    if (contentRva > kMax32) return std::nullopt;
    ResourceSection content =
        BuildResourceSection(tree, static_cast<uint32_t>(contentRva), /*keepPlaced=*/true);
    edit.virtualSize = base + content.size;
    edit.rawSize = AlignUp(edit.virtualSize, image.FileAlignment());
    if (edit.section) {
        const uint64_t live = LiveBytes(tree, sections[*last], contentRva, content.size);
        const uint64_t dead = edit.virtualSize - std::min(live, edit.virtualSize);
        if (dead > kCompactFloor && dead > live) return std::nullopt;
    }
    const uint64_t newEnd = edit.rawPointer + edit.rawSize;
    uint64_t imageEnd = edit.sectionRva + edit.virtualSize;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!edit.section || i != *edit.section) {
            imageEnd = std::max(imageEnd, sections[i].VirtualEnd());
        }
    }
    edit.sizeOfImage = AlignUp(imageEnd, image.SectionAlignment());
    edit.sizeOfInitializedData =
        uint64_t{image.SizeOfInitializedData()} - oldRawSize + edit.rawSize;
    edit.rootRva = contentRva;
    edit.rootSize = content.size;
    const uint64_t symbols = image.PointerToSymbolTable();
    if (symbols != 0 && symbols >= tailOffset) edit.symbolTable = symbols - tailOffset + newEnd;
    if (newEnd + overlay > kMax32 || edit.sizeOfImage > kMax32) return std::nullopt;

    ImagePatch patch;
    patch.headers = EditedHeaders(image, edit);
    patch.tailOffset = tailOffset;
    patch.size = newEnd + overlay;
    patch.oldSize = file.size();
    const auto oldHeaders = file.Bytes(0, patch.headers.size(), "headers");
    const auto oldOverlay = file.Bytes(tailOffset, overlay, "overlay");
    const auto& headerCopy = patch.owned.emplace_back(oldHeaders.begin(), oldHeaders.end());
    const auto& overlayCopy = patch.owned.emplace_back(oldOverlay.begin(), oldOverlay.end());
    patch.undo = {{0, headerCopy}, {tailOffset, overlayCopy}};
    const auto& tables = patch.owned.emplace_back(std::move(content.tables));
    patch.tail.push_back({{}, edit.rawPointer + base - tailOffset});
    AddContentPieces(tables, content, edit.rawSize - base, patch.tail);
    patch.tail.push_back({overlayCopy});

    if (!PlanChecksum(image, patch)) return std::nullopt;
    return patch;
}

uint64_t ImagePatch::WrittenBytes() const {
    uint64_t n = headers.size();
    for (const auto& p : tail) n += p.bytes.size() + p.zeros;
    return n;
}

void ImagePatch::WriteTail(const std::function<void(const Piece&)>& write) {
    constexpr uint64_t kChunk = uint64_t{1} << 20;  // summed while it is still in the cache
    PeChecksum sum;
    for (const Piece& p : tail) {
        for (uint64_t at = 0; at < p.bytes.size(); at += kChunk) {
            const auto chunk = p.bytes.subspan(at, std::min<uint64_t>(kChunk, p.bytes.size() - at));
            sum.Update(chunk);
            write({chunk});
        }
        if (p.zeros != 0) {
            sum.UpdateZeros(p.zeros);
            write({{}, p.zeros});
        }
    }
    const PeChecksum added[2] = {checksum.headers, sum};
    const auto value = AdjustChecksum(checksum.stored, oldSize, checksum.removed, added, size);
    PutU32(headers.data() + checksum.field, *value);
}

void ImagePatch::ApplyTo(std::vector<uint8_t>& file) {
    file.resize(std::max<uint64_t>(file.size(), size));
    uint64_t at = tailOffset;
    WriteTail([&](const Piece& p) {
        std::copy(p.bytes.begin(), p.bytes.end(), file.begin() + static_cast<ptrdiff_t>(at));
        std::fill_n(file.begin() + static_cast<ptrdiff_t>(at + p.bytes.size()), p.zeros, 0);
        at += p.bytes.size() + p.zeros;
    });
    std::copy(headers.begin(), headers.end(), file.begin());
    file.resize(size);
}

}  // namespace pe
