#include "pe/image_writer.h"

#include <algorithm>
#include <optional>

#include "pe/checksum.h"
#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_writer.h"

namespace pe {

namespace {

using namespace format;

constexpr uint64_t kMax32 = 0xFFFFFFFF;

uint64_t AlignUp(uint64_t v, uint64_t a) {
    return (v + a - 1) & ~(a - 1);
}

// A piece of the output: a view of existing bytes, or a run of zeros.
struct Piece {
    std::span<const uint8_t> bytes;
    uint64_t zeros = 0;
};

bool IsLastSection(const PeImage& image, size_t index) {
    const auto& sections = image.Sections();
    const Section& s = sections[index];
    if (s.sizeOfRawData == 0) return false;
    for (size_t j = 0; j < sections.size(); ++j) {
        if (j == index) continue;
        if (sections[j].VirtualEnd() > s.virtualAddress) return false;
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

std::optional<size_t> InPlaceSection(const PeImage& image) {
    const DataDirectory dir = image.Directory(kDirResource);
    if (dir.virtualAddress == 0 || dir.size == 0) return std::nullopt;
    const auto index = image.SectionOfRva(dir.virtualAddress, sizeOfResourceDirectory);
    if (!index) return std::nullopt;
    const Section& s = image.Sections()[*index];
    if (s.virtualAddress != dir.virtualAddress || !IsLastSection(image, *index) ||
        !OnlyResourcesIn(image, s)) {
        return std::nullopt;
    }
    return index;
}

void CheckHeaderRoom(const PeImage& image) {
    const uint64_t at = image.SectionTableEnd();
    const uint64_t end = at + sizeOfSectionHeader;
    bool room = image.Sections().size() < 0xFFFF && end <= image.SizeOfHeaders() &&
                image.File().Contains(at, sizeOfSectionHeader);
    for (const Section& s : image.Sections()) {
        if (s.sizeOfRawData != 0 && s.pointerToRawData < end) room = false;
    }
    if (room) {
        const auto bytes = image.File().Bytes(at, sizeOfSectionHeader, "section table");
        room = std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
    }
    if (!room) {
        throw PeError("cannot add a resource section: no free room after the section table");
    }
}

void PutSectionSizes(uint8_t* header, uint64_t virtualSize, uint64_t rawSize) {
    PutU32(header + kShVirtualSize, static_cast<uint32_t>(virtualSize));
    PutU32(header + kShSizeOfRawData, static_cast<uint32_t>(rawSize));
}

}  // namespace

void WriteImage(const PeImage& image, const ResourceTree& tree, const ByteSink& sink) {
    const ByteView& file = image.File();
    const auto& sections = image.Sections();
    if (image.NumberOfRvaAndSizes() <= kDirResource) {
        throw PeError("the image has no resource directory entry");
    }
    const std::optional<size_t> inPlace = InPlaceSection(image);
    const uint64_t overlayStart = image.EndOfSectionData();
    const uint64_t fileSize = file.size();

    // Where the resource section goes.
    uint64_t sectionRva;
    uint64_t rawPointer;
    uint64_t cut;  // original bytes [header end, cut) are kept as they are
    uint32_t oldRawSize = 0;
    if (inPlace) {
        const Section& s = sections[*inPlace];
        sectionRva = s.virtualAddress;
        rawPointer = s.pointerToRawData;
        cut = s.pointerToRawData;
        oldRawSize = s.sizeOfRawData;
    } else {
        CheckHeaderRoom(image);
        uint64_t end = std::max<uint64_t>(image.SizeOfHeaders(), image.SizeOfImage());
        for (const Section& s : sections) end = std::max(end, s.VirtualEnd());
        sectionRva = AlignUp(end, image.SectionAlignment());
        rawPointer = AlignUp(overlayStart, image.FileAlignment());
        cut = overlayStart;
    }
    if (sectionRva > kMax32) throw PeError("the image would pass the 4 GiB address space");
    const ResourceSection content = BuildResourceSection(tree, static_cast<uint32_t>(sectionRva));
    const uint64_t rawSize = AlignUp(content.size, image.FileAlignment());
    const uint64_t newEnd = rawPointer + rawSize;
    uint64_t imageEnd = sectionRva + content.size;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!inPlace || i != *inPlace) imageEnd = std::max(imageEnd, sections[i].VirtualEnd());
    }
    const uint64_t sizeOfImage = AlignUp(imageEnd, image.SectionAlignment());
    if (newEnd > kMax32 || sizeOfImage > kMax32) {
        throw PeError("the image would pass the 4 GiB limit of its 32-bit offsets");
    }

    // The certificate table, when it sits in the overlay, is dropped with its directory entry.
    const DataDirectory cert = image.Directory(kDirCertificate);
    const uint64_t certStart = cert.virtualAddress;
    const uint64_t certEnd = certStart + cert.size;
    const bool dropCert = cert.size != 0 && certStart >= overlayStart && certEnd <= fileSize;

    const uint64_t headerEnd = image.SectionTableEnd() + (inPlace ? 0 : sizeOfSectionHeader);
    if (headerEnd > cut) throw PeError("corrupt image: the section table overlaps section data");
    const auto original = file.Bytes(0, headerEnd, "headers");
    std::vector<uint8_t> header(original.begin(), original.end());
    uint8_t* fileHeader = header.data() + image.FileHeaderOffset();
    uint8_t* optional = header.data() + image.OptionalHeaderOffset();
    if (inPlace) {
        uint8_t* s = header.data() + image.SectionTableOffset() + *inPlace * sizeOfSectionHeader;
        PutSectionSizes(s, content.size, rawSize);
    } else {
        uint8_t* s = header.data() + image.SectionTableEnd();
        const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        std::copy(name, name + 8, s);
        PutSectionSizes(s, content.size, rawSize);
        PutU32(s + kShVirtualAddress, static_cast<uint32_t>(sectionRva));
        PutU32(s + kShPointerToRawData, static_cast<uint32_t>(rawPointer));
        PutU32(s + kShCharacteristics, kScnInitializedDataRead);
        PutU16(fileHeader + kFhNumberOfSections, static_cast<uint16_t>(sections.size() + 1));
    }
    PutU32(optional + kOhSizeOfInitializedData,
           static_cast<uint32_t>(image.SizeOfInitializedData() - oldRawSize + rawSize));
    PutU32(optional + kOhSizeOfImage, static_cast<uint32_t>(sizeOfImage));
    PutU32(optional + kOhCheckSum, 0);
    uint8_t* directories = optional + kOhDataDirectories;
    PutU32(directories + kDirResource * sizeOfDataDirectory, static_cast<uint32_t>(sectionRva));
    PutU32(directories + kDirResource * sizeOfDataDirectory + 4,
           static_cast<uint32_t>(content.size));
    if (image.NumberOfRvaAndSizes() > kDirCertificate) {
        PutU32(directories + kDirCertificate * sizeOfDataDirectory, 0);
        PutU32(directories + kDirCertificate * sizeOfDataDirectory + 4, 0);
    }
    const uint64_t symbols = image.PointerToSymbolTable();
    if (symbols != 0 && symbols >= overlayStart) {
        uint64_t moved = symbols - overlayStart + newEnd;
        if (dropCert && symbols >= certEnd) {
            moved -= cert.size;
        } else if (dropCert && symbols >= certStart) {
            moved = 0;
        }
        if (moved > kMax32)
            throw PeError("the image would pass the 4 GiB limit of its 32-bit offsets");
        PutU32(fileHeader + kFhPointerToSymbolTable, static_cast<uint32_t>(moved));
        if (moved == 0) PutU32(fileHeader + kFhNumberOfSymbols, 0);
    }

    std::vector<Piece> pieces;
    pieces.push_back({header});
    pieces.push_back({file.Bytes(headerEnd, cut - headerEnd, "section data")});
    pieces.push_back({{}, rawPointer - cut});
    pieces.push_back({content.tables});
    uint64_t at = content.tables.size();
    for (const auto& block : content.data) {
        pieces.push_back({{}, block.offset - at});
        pieces.push_back({block.bytes});
        at = block.offset + block.bytes.size();
    }
    pieces.push_back({{}, rawSize - at});
    if (dropCert) {
        pieces.push_back({file.Bytes(overlayStart, certStart - overlayStart, "overlay")});
        pieces.push_back({file.Bytes(certEnd, fileSize - certEnd, "overlay")});
    } else {
        pieces.push_back({file.Bytes(overlayStart, fileSize - overlayStart, "overlay")});
    }

    PeChecksum checksum;
    for (const Piece& p : pieces) {
        checksum.Update(p.bytes);
        checksum.UpdateZeros(p.zeros);
    }
    PutU32(optional + kOhCheckSum, checksum.Finish());

    static const uint8_t kZeros[4096] = {};
    for (const Piece& p : pieces) {
        if (!p.bytes.empty()) sink(p.bytes);
        for (uint64_t left = p.zeros; left != 0;) {
            const uint64_t n = std::min<uint64_t>(left, sizeof kZeros);
            sink(std::span<const uint8_t>(kZeros, static_cast<size_t>(n)));
            left -= n;
        }
    }
}

}  // namespace pe
