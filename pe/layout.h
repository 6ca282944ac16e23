#pragma once
// Layout rules shared by the two ways of writing an image: rewriting the whole file
// (image_writer) and appending to it where it lies (image_patch).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pe/image.h"
#include "pe/resource_writer.h"

namespace pe::layout {

inline uint64_t AlignUp(uint64_t v, uint64_t a) {
    return (v + a - 1) & ~(a - 1);
}

inline constexpr uint64_t kMax32 = 0xFFFFFFFF;
// The format's largest file alignment. Raw data is padded to it: a larger one would make
// every edit write as many zeros.
inline constexpr uint32_t kMaxFileAlignment = 0x10000;

// A piece of the output: a view of existing bytes, or a run of zeros.
struct Piece {
    std::span<const uint8_t> bytes;
    uint64_t zeros = 0;
};

// True when the section comes after every other one, in memory (mapped raw data included)
// and in the file.
bool IsLastSection(const PeImage& image, size_t index);
// True when no data directory but the resource and certificate ones points into `s`.
bool OnlyResourcesIn(const PeImage& image, const Section& s);
// The section holding the resource root when it is the last one and holds only resources.
std::optional<size_t> LastResourceSection(const PeImage& image);
// True when the zero bytes after the section table can take one more section header.
bool HasHeaderRoom(const PeImage& image);
// Where a section added after all others starts in memory.
uint64_t NextSectionRva(const PeImage& image);

// The pieces of a section's content, its `tables` (in place of content.tables, which the
// caller may have moved elsewhere) and data blocks, followed by zeros up to `paddedSize`.
void AddContentPieces(std::span<const uint8_t> tables, const ResourceSection& content,
                      uint64_t paddedSize, std::vector<Piece>& pieces);

// The header fields that an edit of the resources changes.
struct HeaderEdit {
    std::optional<size_t> section;  // the section that changes, or none for an added one
    uint64_t sectionRva = 0;        // for an added section
    uint64_t rawPointer = 0;        // for an added section
    uint64_t virtualSize = 0;
    uint64_t rawSize = 0;
    uint64_t sizeOfInitializedData = 0;
    uint64_t sizeOfImage = 0;
    uint64_t rootRva = 0;
    uint64_t rootSize = 0;
    std::optional<uint64_t> symbolTable;  // moved symbol table pointer; 0 drops the table
};

// The headers, up to the end of the section table (and the added section's header), with
// `edit` applied and CheckSum zero. Throws PeError when the table would overlap section data.
std::vector<uint8_t> EditedHeaders(const PeImage& image, const HeaderEdit& edit);

}  // namespace pe::layout
