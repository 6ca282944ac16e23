#pragma once
// The resource directory as a three-level tree: type, then name, then language, then the
// data. Data is held as a view (of the parsed image, or of the caller's buffer for resources
// being added), never copied. Each directory keeps the header fields it was read with
// (characteristics, time stamp, version), so a rewrite reproduces them.
#include <cstdint>
#include <map>
#include <span>

#include "pe/image.h"
#include "pe/resource_id.h"

namespace pe {

struct DirectoryHeader {
    uint32_t characteristics = 0;
    uint32_t timeDateStamp = 0;
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
};

struct ResourceData {
    std::span<const uint8_t> bytes;
    uint32_t codePage = 0;
    // Where the bytes already lie in the image the tree was read from; 0 for data being added.
    uint32_t rva = 0;
};

struct LanguageDirectory {
    DirectoryHeader header;
    std::map<ResourceId, ResourceData> languages;
};

struct NameDirectory {
    DirectoryHeader header;
    std::map<ResourceId, LanguageDirectory> names;
};

struct ResourceTree {
    DirectoryHeader header;
    std::map<ResourceId, NameDirectory> types;
};

// Reads the tree the resource data directory points at; an image without one gives an empty
// tree. Throws PeError when an offset, a name or a data block lies outside the image, when a
// directory is reached twice (a loop or a shared subdirectory), when a key repeats within a
// directory, or when the tree is not exactly three levels deep.
ResourceTree ReadResourceTree(const PeImage& image);

}  // namespace pe
