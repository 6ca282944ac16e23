#include "pe/resource_writer.h"

#include "pe/byte_view.h"
#include "pe/error.h"
#include "pe/format.h"

namespace pe {

namespace {

using namespace format;

uint64_t AlignUp(uint64_t v, uint64_t a) {
    return (v + a - 1) & ~(a - 1);
}

uint64_t TableSize(size_t entries) {
    return sizeOfResourceDirectory + uint64_t{entries} * sizeOfResourceDirectoryEntry;
}

constexpr uint64_t kPlaced = ~uint64_t{0};

bool StaysPlaced(const ResourceData& data, bool keepPlaced) {
    return keepPlaced && data.rva != 0;
}

// Phase one: where every table, string, data entry and data block goes.
struct Layout {
    std::vector<uint64_t> typeTables;  // one per type, in order
    std::vector<uint64_t> nameTables;  // one per (type, name), in order
    std::vector<uint64_t> strings;     // one per name key, in the order the tables list them
    uint64_t dataEntries = 0;
    std::vector<uint64_t> blocks;  // one per leaf, in order; kPlaced for data left where it is
    uint64_t tablesEnd = 0;
    uint64_t size = 0;
};

template <typename Map>
void CheckCounts(const Map& map) {
    size_t names = 0;
    for (const auto& [key, value] : map) {
        if (key.IsName()) {
            ++names;
            if (key.Name().size() > 0xFFFF) throw PeError("resource name longer than 65535 units");
        }
    }
    if (names > 0xFFFF || map.size() - names > 0xFFFF) {
        throw PeError("too many resources in one directory (more than 65535)");
    }
}

template <typename Map>
void PlaceStrings(const Map& map, Layout& layout, uint64_t& offset) {
    for (const auto& [key, value] : map) {
        if (!key.IsName()) continue;
        layout.strings.push_back(offset);
        offset += 2 + 2 * uint64_t{key.Name().size()};
    }
}

Layout LayOut(const ResourceTree& tree, bool keepPlaced) {
    Layout layout;
    CheckCounts(tree.types);
    uint64_t offset = TableSize(tree.types.size());
    for (const auto& [type, names] : tree.types) {
        CheckCounts(names.names);
        layout.typeTables.push_back(offset);
        offset += TableSize(names.names.size());
    }
    size_t leaves = 0;
    for (const auto& [type, names] : tree.types) {
        for (const auto& [name, languages] : names.names) {
            CheckCounts(languages.languages);
            layout.nameTables.push_back(offset);
            offset += TableSize(languages.languages.size());
            leaves += languages.languages.size();
        }
    }
    PlaceStrings(tree.types, layout, offset);
    for (const auto& [type, names] : tree.types) PlaceStrings(names.names, layout, offset);
    for (const auto& [type, names] : tree.types) {
        for (const auto& [name, languages] : names.names) {
            PlaceStrings(languages.languages, layout, offset);
        }
    }
    layout.dataEntries = AlignUp(offset, 8);
    offset = layout.dataEntries + uint64_t{leaves} * sizeOfResourceDataEntry;
    layout.tablesEnd = offset;
    for (const auto& [type, names] : tree.types) {
        for (const auto& [name, languages] : names.names) {
            for (const auto& [language, data] : languages.languages) {
                if (data.bytes.size() > kMaxResourceSize) {
                    throw PeError("resource data of 2 GiB or more cannot be stored");
                }
                if (StaysPlaced(data, keepPlaced)) {
                    layout.blocks.push_back(kPlaced);
                    continue;
                }
                offset = AlignUp(offset, 8);
                layout.blocks.push_back(offset);
                offset += data.bytes.size();
            }
        }
    }
    layout.size = offset;
    return layout;
}

// Phase two: one writer per directory level, each filling its table and entries.
class TableWriter {
public:
    TableWriter(const Layout& layout, uint32_t sectionRva, std::vector<uint8_t>& out)
        : layout_(layout), rva_(sectionRva), out_(out) {}

    void WriteRoot(const ResourceTree& tree) {
        WriteTable(0, tree.header, tree.types, [&](size_t i) {
            return static_cast<uint32_t>(layout_.typeTables[i]) | kHighBit;
        });
        size_t t = 0;
        for (const auto& [type, names] : tree.types) WriteTypeTable(layout_.typeTables[t++], names);
        size_t n = 0;
        for (const auto& [type, names] : tree.types) {
            for (const auto& [name, languages] : names.names) {
                WriteNameTable(layout_.nameTables[n++], languages);
            }
        }
    }

private:
    void WriteTypeTable(uint64_t at, const NameDirectory& names) {
        const size_t first = nameTable_;
        nameTable_ += names.names.size();
        WriteTable(at, names.header, names.names, [&](size_t i) {
            return static_cast<uint32_t>(layout_.nameTables[first + i]) | kHighBit;
        });
    }

    void WriteNameTable(uint64_t at, const LanguageDirectory& languages) {
        const size_t first = leaf_;
        leaf_ += languages.languages.size();
        WriteTable(at, languages.header, languages.languages, [&](size_t i) {
            return static_cast<uint32_t>(layout_.dataEntries +
                                         (first + i) * sizeOfResourceDataEntry);
        });
        size_t i = first;
        for (const auto& [language, data] : languages.languages) {
            uint8_t* entry = &out_[layout_.dataEntries + i * sizeOfResourceDataEntry];
            const uint64_t block = layout_.blocks[i];
            PutU32(entry, block == kPlaced ? data.rva : static_cast<uint32_t>(rva_ + block));
            PutU32(entry + 4, static_cast<uint32_t>(data.bytes.size()));
            PutU32(entry + 8, data.codePage);
            ++i;
        }
    }

    template <typename Map, typename Target>
    void WriteTable(uint64_t at, const DirectoryHeader& header, const Map& map, Target target) {
        uint8_t* table = &out_[at];
        uint16_t names = 0;
        for (const auto& [key, value] : map) names += key.IsName() ? 1 : 0;
        PutU32(table + kRdCharacteristics, header.characteristics);
        PutU32(table + kRdTimeDateStamp, header.timeDateStamp);
        PutU16(table + kRdMajorVersion, header.majorVersion);
        PutU16(table + kRdMinorVersion, header.minorVersion);
        PutU16(table + kRdNumberOfNamedEntries, names);
        PutU16(table + kRdNumberOfIdEntries, static_cast<uint16_t>(map.size() - names));
        size_t i = 0;
        for (const auto& [key, value] : map) {
            uint8_t* entry = table + sizeOfResourceDirectory + i * sizeOfResourceDirectoryEntry;
            PutU32(entry, key.IsName() ? WriteString(key.Name()) | kHighBit : key.Id());
            PutU32(entry + 4, target(i));
            ++i;
        }
    }

    uint32_t WriteString(const std::u16string& name) {
        const uint64_t at = layout_.strings[string_++];
        PutU16(&out_[at], static_cast<uint16_t>(name.size()));
        for (size_t i = 0; i < name.size(); ++i) PutU16(&out_[at + 2 + 2 * i], name[i]);
        return static_cast<uint32_t>(at);
    }

    const Layout& layout_;
    uint32_t rva_;
    std::vector<uint8_t>& out_;
    size_t nameTable_ = 0;
    size_t leaf_ = 0;
    size_t string_ = 0;
};

}  // namespace

ResourceSection BuildResourceSection(const ResourceTree& tree, uint32_t sectionRva,
                                     bool keepPlaced) {
    const Layout layout = LayOut(tree, keepPlaced);
    if (sectionRva + layout.size > 0xFFFFFFFF) {
        throw PeError("the resources do not fit in the 4 GiB address space of an image");
    }
    ResourceSection section;
    section.tables.assign(layout.tablesEnd, 0);
    TableWriter(layout, sectionRva, section.tables).WriteRoot(tree);
    size_t i = 0;
    for (const auto& [type, names] : tree.types) {
        for (const auto& [name, languages] : names.names) {
            for (const auto& [language, data] : languages.languages) {
                const uint64_t block = layout.blocks[i++];
                if (block != kPlaced) section.data.push_back({block, data.bytes});
            }
        }
    }
    section.size = layout.size;
    return section;
}

}  // namespace pe
