#include <set>
#include <string>

#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_tree.h"

namespace pe {

namespace {

using namespace format;

// Offsets inside the tree are relative to its root; `view` runs from the root to the end of
// the mapped raw data of the section holding it.
class TreeReader {
public:
    TreeReader(const PeImage& image, ByteView view) : image_(image), view_(view) {}

    DirectoryHeader ReadHeader(uint32_t offset) {
        if (!visited_.insert(offset).second) {
            throw PeError("corrupt resource directory: a directory is reached twice (loop)");
        }
        DirectoryHeader h;
        h.characteristics = view_.U32(offset + kRdCharacteristics, "resource directory");
        h.timeDateStamp = view_.U32(offset + kRdTimeDateStamp, "resource directory");
        h.majorVersion = view_.U16(offset + kRdMajorVersion, "resource directory");
        h.minorVersion = view_.U16(offset + kRdMinorVersion, "resource directory");
        return h;
    }

    // Calls visit(key, offsetToData) for each entry of the directory at `offset`.
    template <typename Visit>
    void ForEachEntry(uint32_t offset, Visit visit) {
        const uint32_t count =
            uint32_t{view_.U16(offset + kRdNumberOfNamedEntries, "resource directory")} +
            view_.U16(offset + kRdNumberOfIdEntries, "resource directory");
        const uint64_t first = uint64_t{offset} + sizeOfResourceDirectory;
        view_.Bytes(first, uint64_t{count} * sizeOfResourceDirectoryEntry,
                    "resource directory entries");
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t at = first + uint64_t{i} * sizeOfResourceDirectoryEntry;
            const uint32_t name = view_.U32(at, "resource directory entry");
            const uint32_t target = view_.U32(at + 4, "resource directory entry");
            visit(ReadKey(name), target);
        }
    }

    uint32_t Subdirectory(uint32_t target) const {
        if ((target & kHighBit) == 0) {
            throw PeError("unsupported resource directory: data found above the language level");
        }
        return target & ~kHighBit;
    }

    ResourceData ReadData(uint32_t target) {
        if ((target & kHighBit) != 0) {
            throw PeError("unsupported resource directory: more than three levels");
        }
        const uint32_t rva = view_.U32(target, "resource data entry");
        const uint32_t size = view_.U32(uint64_t{target} + 4, "resource data entry");
        const uint32_t codePage = view_.U32(uint64_t{target} + 8, "resource data entry");
        const auto offset = image_.RvaToOffset(rva, size);
        if (!offset) throw PeError("corrupt resource: its data lies outside the image's sections");
        return {image_.File().Bytes(*offset, size, "resource data"), codePage, rva};
    }

private:
    ResourceId ReadKey(uint32_t name) const {
        if ((name & kHighBit) == 0) {
            if (name > 0xFFFF) throw PeError("corrupt resource directory: identifier above 65535");
            return ResourceId(static_cast<uint16_t>(name));
        }
        const uint32_t at = name & ~kHighBit;
        const uint16_t length = view_.U16(at, "resource name");
        const auto units = view_.Bytes(uint64_t{at} + 2, uint64_t{length} * 2, "resource name");
        std::u16string text(length, u'\0');
        for (size_t i = 0; i < length; ++i) {
            text[i] = static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8));
        }
        return ResourceId(std::move(text));
    }

    const PeImage& image_;
    ByteView view_;
    std::set<uint32_t> visited_;
};

template <typename Map, typename Value>
Value& InsertUnique(Map& map, const ResourceId& key, Value value) {
    auto [it, inserted] = map.emplace(key, std::move(value));
    if (!inserted) throw PeError("corrupt resource directory: an entry appears twice");
    return it->second;
}

}  // namespace

ResourceTree ReadResourceTree(const PeImage& image) {
    ResourceTree tree;
    const DataDirectory dir = image.Directory(kDirResource);
    if (dir.virtualAddress == 0 || dir.size == 0) return tree;
    const auto index = image.SectionOfRva(dir.virtualAddress, sizeOfResourceDirectory);
    if (!index) throw PeError("corrupt image: the resource directory lies outside every section");
    const Section& section = image.Sections()[*index];
    const uint64_t start = dir.virtualAddress - section.virtualAddress;
    const uint64_t size = section.MappedRawSize(image.SectionAlignment()) - start;
    TreeReader reader(
        image, image.File().Sub(section.pointerToRawData + start, size, "resource directory"));

    tree.header = reader.ReadHeader(0);
    reader.ForEachEntry(0, [&](const ResourceId& type, uint32_t typeTarget) {
        const uint32_t typeOffset = reader.Subdirectory(typeTarget);
        NameDirectory& names = InsertUnique(tree.types, type, NameDirectory{});
        names.header = reader.ReadHeader(typeOffset);
        reader.ForEachEntry(typeOffset, [&](const ResourceId& name, uint32_t nameTarget) {
            const uint32_t nameOffset = reader.Subdirectory(nameTarget);
            LanguageDirectory& languages = InsertUnique(names.names, name, LanguageDirectory{});
            languages.header = reader.ReadHeader(nameOffset);
            reader.ForEachEntry(nameOffset, [&](const ResourceId& language, uint32_t target) {
                InsertUnique(languages.languages, language, reader.ReadData(target));
            });
        });
    });
    return tree;
}

}  // namespace pe
