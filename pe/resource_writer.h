#pragma once
// Builds the content of a resource section for a tree, to be placed at `sectionRva`, in the
// order the PE/COFF format describes: all directory tables (the root, then every type
// directory, then every name directory), then the name strings (16-bit length and UTF-16
// units, 2-byte aligned), then the data entries (8-byte aligned), then the data, each block
// 8-byte aligned. Entries within a table follow the ResourceId ordering (names first).
//
// The tables are built into one small buffer; the data blocks stay views of the tree's data
// so that the caller copies each of them exactly once, into the output. With `keepPlaced`,
// data that already lies in the image (a nonzero `rva`) stays there: its entry points at it
// and only the other data is laid out after the tables.
//
// Throws PeError when a directory holds more than 65535 names or numbers, a name is longer
// than 65535 units, a data block is 2 GiB or more, or the section would pass the 4 GiB limit
// of 32-bit RVAs.
#include <cstdint>
#include <span>
#include <vector>

#include "pe/resource_tree.h"

namespace pe {

inline constexpr uint64_t kMaxResourceSize = 0x7FFFFFFF;

struct ResourceSection {
    struct Block {
        uint64_t offset;
        std::span<const uint8_t> bytes;
    };
    std::vector<uint8_t> tables;
    std::vector<Block> data;
    uint64_t size = 0;
};

ResourceSection BuildResourceSection(const ResourceTree& tree, uint32_t sectionRva,
                                     bool keepPlaced = false);

}  // namespace pe
