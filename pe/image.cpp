#include "pe/image.h"

#include <algorithm>
#include <string>

#include "pe/error.h"
#include "pe/format.h"

namespace pe {

namespace {

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

}  // namespace

PeImage::PeImage(std::span<const uint8_t> file) : file_(file) {
    using namespace format;
    if (file_.U16(0, "DOS header") != kDosMagic) throw PeError("not an executable: no MZ header");
    const uint64_t signature = file_.U32(kDosLfanew, "DOS header");
    if (file_.U32(signature, "PE signature") != kPeSignature) {
        throw PeError("not a PE image: no PE signature");
    }
    fileHeaderOffset_ = signature + 4;
    file_.Bytes(fileHeaderOffset_, sizeOfFileHeader, "COFF file header");
    const uint16_t sectionCount = file_.U16(fileHeaderOffset_ + kFhNumberOfSections, "");
    const uint16_t optionalSize = file_.U16(fileHeaderOffset_ + kFhSizeOfOptionalHeader, "");
    pointerToSymbolTable_ = file_.U32(fileHeaderOffset_ + kFhPointerToSymbolTable, "");

    optionalHeaderOffset_ = fileHeaderOffset_ + sizeOfFileHeader;
    const ByteView optional = file_.Sub(optionalHeaderOffset_, optionalSize, "optional header");
    if (optionalSize < kOhDataDirectories || optional.U16(0, "optional header") != kPe32PlusMagic) {
        throw PeError("not a PE32+ image: only 64-bit executables are supported");
    }
    sizeOfInitializedData_ = optional.U32(kOhSizeOfInitializedData, "optional header");
    sectionAlignment_ = optional.U32(kOhSectionAlignment, "optional header");
    fileAlignment_ = optional.U32(kOhFileAlignment, "optional header");
    sizeOfImage_ = optional.U32(kOhSizeOfImage, "optional header");
    sizeOfHeaders_ = optional.U32(kOhSizeOfHeaders, "optional header");
    numberOfRvaAndSizes_ = optional.U32(kOhNumberOfRvaAndSizes, "optional header");
    if (!IsPowerOfTwo(fileAlignment_) || !IsPowerOfTwo(sectionAlignment_)) {
        throw PeError("corrupt optional header: alignment is not a power of two");
    }
    if (uint64_t{numberOfRvaAndSizes_} * sizeOfDataDirectory > optionalSize - kOhDataDirectories) {
        throw PeError("corrupt optional header: data directories overrun the optional header");
    }
    for (uint32_t i = 0; i < numberOfRvaAndSizes_; ++i) {
        const uint64_t at = kOhDataDirectories + uint64_t{i} * sizeOfDataDirectory;
        directories_.push_back(
            {optional.U32(at, "data directory"), optional.U32(at + 4, "data directory")});
    }

    sectionTableOffset_ = optionalHeaderOffset_ + optionalSize;
    const ByteView table = file_.Sub(sectionTableOffset_,
                                     uint64_t{sectionCount} * sizeOfSectionHeader, "section table");
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint64_t at = uint64_t{i} * sizeOfSectionHeader;
        Section s;
        const auto name = table.Bytes(at, 8, "section table");
        std::copy(name.begin(), name.end(), s.name.begin());
        s.virtualSize = table.U32(at + kShVirtualSize, "section table");
        s.virtualAddress = table.U32(at + kShVirtualAddress, "section table");
        s.sizeOfRawData = table.U32(at + kShSizeOfRawData, "section table");
        s.pointerToRawData = table.U32(at + kShPointerToRawData, "section table");
        s.characteristics = table.U32(at + kShCharacteristics, "section table");
        if (s.sizeOfRawData != 0 && !file_.Contains(s.pointerToRawData, s.sizeOfRawData)) {
            throw PeError("truncated image: the data of section " + std::to_string(i + 1) +
                          " lies past the end of the file");
        }
        sections_.push_back(s);
    }
}

DataDirectory PeImage::Directory(uint32_t index) const {
    return index < directories_.size() ? directories_[index] : DataDirectory{};
}

std::optional<size_t> PeImage::SectionOfRva(uint32_t rva, uint64_t length) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        const uint32_t size = s.MappedRawSize(sectionAlignment_);
        if (rva >= s.virtualAddress && rva - s.virtualAddress <= size &&
            length <= size - (rva - s.virtualAddress)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<uint64_t> PeImage::RvaToOffset(uint32_t rva, uint64_t length) const {
    const auto index = SectionOfRva(rva, length);
    if (!index) return std::nullopt;
    const Section& s = sections_[*index];
    return uint64_t{s.pointerToRawData} + (rva - s.virtualAddress);
}

uint64_t PeImage::EndOfSectionData() const {
    uint64_t end = std::min<uint64_t>(sizeOfHeaders_, file_.size());
    end = std::max(end, SectionTableEnd());
    for (const Section& s : sections_) {
        if (s.sizeOfRawData != 0) end = std::max(end, s.RawEnd());
    }
    return end;
}

}  // namespace pe
