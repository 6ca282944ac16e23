#pragma once
// The headers of a PE32+ image: file header fields, optional header fields, data directories
// and the section table, read with bounds checks from a view of the whole file. The view is
// not copied: the bytes must outlive the PeImage. Construction throws PeError when a header
// or the raw data of a section lies outside the file, when the image is not PE32+ or when
// an alignment is not a power of two.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pe/byte_view.h"
#include "pe/format.h"

namespace pe {

struct Section {
    std::array<uint8_t, 8> name{};
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t sizeOfRawData = 0;
    uint32_t pointerToRawData = 0;
    uint32_t characteristics = 0;

    // Extent in memory: a zero VirtualSize means the raw size is used.
    uint64_t VirtualEnd() const {
        return uint64_t{virtualAddress} + (virtualSize != 0 ? virtualSize : sizeOfRawData);
    }
    uint64_t RawEnd() const { return uint64_t{pointerToRawData} + sizeOfRawData; }
    // The raw bytes the loader maps: raw data past the virtual size rounded up to the
    // section alignment stays in the file only, and the next section's addresses begin there.
    uint32_t MappedRawSize(uint32_t sectionAlignment) const {
        if (virtualSize == 0) return sizeOfRawData;
        const uint64_t rounded =
            (uint64_t{virtualSize} + sectionAlignment - 1) & ~uint64_t{sectionAlignment - 1};
        return static_cast<uint32_t>(std::min<uint64_t>(sizeOfRawData, rounded));
    }
    // End of the addresses the section answers for. An address that is not aligned can
    // carry the mapped raw data past the virtual extent.
    uint64_t MappedEnd(uint32_t sectionAlignment) const {
        return std::max(VirtualEnd(), uint64_t{virtualAddress} + MappedRawSize(sectionAlignment));
    }
};

struct DataDirectory {
    uint32_t virtualAddress = 0;
    uint32_t size = 0;
};

class PeImage {
public:
    explicit PeImage(std::span<const uint8_t> file);

    const ByteView& File() const { return file_; }
    const std::vector<Section>& Sections() const { return sections_; }

    uint64_t FileHeaderOffset() const { return fileHeaderOffset_; }
    uint64_t OptionalHeaderOffset() const { return optionalHeaderOffset_; }
    uint64_t SectionTableOffset() const { return sectionTableOffset_; }
    uint64_t SectionTableEnd() const {
        return sectionTableOffset_ + uint64_t{sections_.size()} * format::sizeOfSectionHeader;
    }

    uint32_t FileAlignment() const { return fileAlignment_; }
    uint32_t SectionAlignment() const { return sectionAlignment_; }
    uint32_t SizeOfImage() const { return sizeOfImage_; }
    uint32_t SizeOfHeaders() const { return sizeOfHeaders_; }
    uint32_t SizeOfInitializedData() const { return sizeOfInitializedData_; }
    uint32_t PointerToSymbolTable() const { return pointerToSymbolTable_; }
    uint32_t NumberOfRvaAndSizes() const { return numberOfRvaAndSizes_; }

    // The directory `index`, or zeros when the image has fewer directories.
    DataDirectory Directory(uint32_t index) const;

    // Index of the section whose mapped raw data holds [rva, rva + length), if any.
    std::optional<size_t> SectionOfRva(uint32_t rva, uint64_t length) const;
    // File offset of [rva, rva + length) when it lies in one section's raw data.
    std::optional<uint64_t> RvaToOffset(uint32_t rva, uint64_t length) const;

    // End of the headers and of all section raw data; bytes after it are the overlay.
    uint64_t EndOfSectionData() const;

private:
    ByteView file_;
    uint64_t fileHeaderOffset_ = 0;
    uint64_t optionalHeaderOffset_ = 0;
    uint64_t sectionTableOffset_ = 0;
    uint32_t fileAlignment_ = 0;
    uint32_t sectionAlignment_ = 0;
    uint32_t sizeOfImage_ = 0;
    uint32_t sizeOfHeaders_ = 0;
    uint32_t sizeOfInitializedData_ = 0;
    uint32_t pointerToSymbolTable_ = 0;
    uint32_t numberOfRvaAndSizes_ = 0;
    std::vector<DataDirectory> directories_;
    std::vector<Section> sections_;
};

}  // namespace pe
