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

PeChecksum Sum(std::span<const Piece> pieces) {
    PeChecksum sum;
    for (const Piece& p : pieces) {
        sum.Update(p.bytes);
        sum.UpdateZeros(p.zeros);
    }
    return sum;
}

// CheckSum from the stored one, or from the words of the whole old file when it has none.
std::optional<uint32_t> NewChecksum(const PeImage& image, const ImagePatch& patch) {
    const ByteView& file = image.File();
    const uint64_t field = image.OptionalHeaderOffset() + kOhCheckSum;
    std::vector<uint8_t> oldHeaders(patch.undo.front().bytes.begin(),
                                    patch.undo.front().bytes.end());
    std::fill_n(oldHeaders.begin() + static_cast<ptrdiff_t>(field), 4, 0);
    PeChecksum removed[2], added[2];
    removed[0].Update(oldHeaders);
    removed[1].Update(file.Bytes(patch.tailOffset, file.size() - patch.tailOffset, "overlay"));
    added[0].Update(patch.headers);
    added[1] = Sum(patch.tail);
    uint32_t stored = file.U32(field, "optional header");
    if (stored == 0) {
        PeChecksum whole;
        whole.Update(oldHeaders);
        whole.Update(file.Bytes(oldHeaders.size(), file.size() - oldHeaders.size(), "image"));
        stored = whole.Finish();
    }
    return AdjustChecksum(stored, file.size(), removed, added, patch.size);
}

}  // namespace

std::optional<ImagePatch> PlanAppend(const PeImage& image, const ResourceTree& tree) {
    const ByteView& file = image.File();
    const auto& sections = image.Sections();
    if (image.NumberOfRvaAndSizes() <= kDirResource) return std::nullopt;
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

    const std::optional<uint32_t> checksum = NewChecksum(image, patch);
    if (!checksum) return std::nullopt;
    PutU32(patch.headers.data() + image.OptionalHeaderOffset() + kOhCheckSum, *checksum);
    return patch;
}

uint64_t ImagePatch::WrittenBytes() const {
    uint64_t n = headers.size();
    for (const auto& p : tail) n += p.bytes.size() + p.zeros;
    return n;
}

void ImagePatch::ApplyTo(std::vector<uint8_t>& file) const {
    file.resize(std::max<uint64_t>(file.size(), size));
    std::copy(headers.begin(), headers.end(), file.begin());
    uint64_t at = tailOffset;
    for (const auto& p : tail) {
        std::copy(p.bytes.begin(), p.bytes.end(), file.begin() + static_cast<ptrdiff_t>(at));
        std::fill_n(file.begin() + static_cast<ptrdiff_t>(at + p.bytes.size()), p.zeros, 0);
        at += p.bytes.size() + p.zeros;
    }
    file.resize(size);
}

}  // namespace pe
