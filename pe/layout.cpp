#include "pe/layout.h"

#include <algorithm>

#include "pe/byte_view.h"
#include "pe/error.h"
#include "pe/format.h"

namespace pe::layout {

using namespace format;

bool IsLastSection(const PeImage& image, size_t index) {
    const auto& sections = image.Sections();
    const Section& s = sections[index];
    if (s.sizeOfRawData == 0) return false;
    for (size_t j = 0; j < sections.size(); ++j) {
        if (j == index) continue;
        if (sections[j].MappedEnd(image.SectionAlignment()) > s.virtualAddress) return false;
        if (sections[j].sizeOfRawData != 0 && sections[j].RawEnd() > s.pointerToRawData) {
            return false;
        }
    }
    return true;
}

bool OnlyResourcesIn(const PeImage& image, const Section& s) {
    for (uint32_t d = 0; d < image.NumberOfRvaAndSizes(); ++d) {
        if (d == kDirResource || d == kDirCertificate) continue;
        const DataDirectory dir = image.Directory(d);
        if (dir.size != 0 && dir.virtualAddress >= s.virtualAddress &&
            dir.virtualAddress < s.VirtualEnd()) {
            return false;
        }
    }
    return true;
}

std::optional<size_t> LastResourceSection(const PeImage& image) {
    const DataDirectory dir = image.Directory(kDirResource);
    if (dir.virtualAddress == 0 || dir.size == 0) return std::nullopt;
    const auto index = image.SectionOfRva(dir.virtualAddress, sizeOfResourceDirectory);
    if (!index || !IsLastSection(image, *index)) return std::nullopt;
    if (!OnlyResourcesIn(image, image.Sections()[*index])) return std::nullopt;
    return index;
}

bool HasHeaderRoom(const PeImage& image) {
    const uint64_t at = image.SectionTableEnd();
    const uint64_t end = at + sizeOfSectionHeader;
    if (image.Sections().size() >= 0xFFFF || end > image.SizeOfHeaders() ||
        !image.File().Contains(at, sizeOfSectionHeader)) {
        return false;
    }
    for (const Section& s : image.Sections()) {
        if (s.sizeOfRawData != 0 && s.pointerToRawData < end) return false;
    }
    const auto bytes = image.File().Bytes(at, sizeOfSectionHeader, "section table");
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

uint64_t NextSectionRva(const PeImage& image) {
    uint64_t end = std::max<uint64_t>(image.SizeOfHeaders(), image.SizeOfImage());
    for (const Section& s : image.Sections())
        end = std::max(end, s.MappedEnd(image.SectionAlignment()));
    return AlignUp(end, image.SectionAlignment());
}

void AddContentPieces(std::span<const uint8_t> tables, const ResourceSection& content,
                      uint64_t paddedSize, std::vector<Piece>& pieces) {
    pieces.push_back({tables});
    uint64_t at = tables.size();
    for (const auto& block : content.data) {
        pieces.push_back({{}, block.offset - at});
        pieces.push_back({block.bytes});
        at = block.offset + block.bytes.size();
    }
    pieces.push_back({{}, paddedSize - at});
}

namespace {

void PutSectionSizes(uint8_t* header, uint64_t virtualSize, uint64_t rawSize) {
    PutU32(header + kShVirtualSize, static_cast<uint32_t>(virtualSize));
    PutU32(header + kShSizeOfRawData, static_cast<uint32_t>(rawSize));
}

}  // namespace

std::vector<uint8_t> EditedHeaders(const PeImage& image, const HeaderEdit& edit) {
    const uint64_t headerEnd = image.SectionTableEnd() + (edit.section ? 0 : sizeOfSectionHeader);
    for (const Section& s : image.Sections()) {
        if (s.sizeOfRawData != 0 && s.pointerToRawData < headerEnd) {
            throw PeError("corrupt image: the section table overlaps section data");
        }
    }
    const auto original = image.File().Bytes(0, headerEnd, "headers");
    std::vector<uint8_t> header(original.begin(), original.end());
    uint8_t* fileHeader = header.data() + image.FileHeaderOffset();
    uint8_t* optional = header.data() + image.OptionalHeaderOffset();
    if (edit.section) {
        uint8_t* s =
            header.data() + image.SectionTableOffset() + *edit.section * sizeOfSectionHeader;
        PutSectionSizes(s, edit.virtualSize, edit.rawSize);
    } else {
        uint8_t* s = header.data() + image.SectionTableEnd();
        const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        std::copy(name, name + 8, s);
        PutSectionSizes(s, edit.virtualSize, edit.rawSize);
        PutU32(s + kShVirtualAddress, static_cast<uint32_t>(edit.sectionRva));
        PutU32(s + kShPointerToRawData, static_cast<uint32_t>(edit.rawPointer));
        PutU32(s + kShCharacteristics, kScnInitializedDataRead);
        PutU16(fileHeader + kFhNumberOfSections,
               static_cast<uint16_t>(image.Sections().size() + 1));
    }
    PutU32(optional + kOhSizeOfInitializedData, static_cast<uint32_t>(edit.sizeOfInitializedData));
    PutU32(optional + kOhSizeOfImage, static_cast<uint32_t>(edit.sizeOfImage));
    PutU32(optional + kOhCheckSum, 0);
    uint8_t* directories = optional + kOhDataDirectories;
    PutU32(directories + kDirResource * sizeOfDataDirectory, static_cast<uint32_t>(edit.rootRva));
    PutU32(directories + kDirResource * sizeOfDataDirectory + 4,
           static_cast<uint32_t>(edit.rootSize));
    if (image.NumberOfRvaAndSizes() > kDirCertificate) {
        PutU32(directories + kDirCertificate * sizeOfDataDirectory, 0);
        PutU32(directories + kDirCertificate * sizeOfDataDirectory + 4, 0);
    }
    if (edit.symbolTable) {
        PutU32(fileHeader + kFhPointerToSymbolTable, static_cast<uint32_t>(*edit.symbolTable));
        if (*edit.symbolTable == 0) PutU32(fileHeader + kFhNumberOfSymbols, 0);
    }
    return header;
}

}  // namespace pe::layout
