#include "pe/image_writer.h"

#include <algorithm>
#include <optional>

#include "pe/checksum.h"
#include "pe/error.h"
#include "pe/format.h"
#include "pe/layout.h"
#include "pe/resource_writer.h"

namespace pe {

using namespace format;
using namespace layout;

void WriteImage(const PeImage& image, const ResourceTree& tree, const ByteSink& sink) {
    const ByteView& file = image.File();
    const auto& sections = image.Sections();
    if (image.NumberOfRvaAndSizes() <= kDirResource) {
        throw PeError("the image has no resource directory entry");
    }
    if (image.FileAlignment() > kMaxFileAlignment) {
        throw PeError("unsupported image: its file alignment is above 64 KiB");
    }
    const std::optional<size_t> inPlace = LastResourceSection(image);
    const uint64_t overlayStart = image.EndOfSectionData();
    const uint64_t fileSize = file.size();

    // Where the resource section goes.
    HeaderEdit edit;
    edit.section = inPlace;
    uint64_t cut;  // original bytes [header end, cut) are kept as they are
    uint32_t oldRawSize = 0;
    if (inPlace) {
        const Section& s = sections[*inPlace];
        edit.sectionRva = s.virtualAddress;
        edit.rawPointer = s.pointerToRawData;
        cut = s.pointerToRawData;
        oldRawSize = s.sizeOfRawData;
    } else {
        if (!HasHeaderRoom(image)) {
            throw PeError("cannot add a resource section: no free room after the section table");
        }
        edit.sectionRva = NextSectionRva(image);
        edit.rawPointer = AlignUp(overlayStart, image.FileAlignment());
        cut = overlayStart;
    }
    if (edit.sectionRva > kMax32) throw PeError("the image would pass the 4 GiB address space");
    const ResourceSection content =
        BuildResourceSection(tree, static_cast<uint32_t>(edit.sectionRva));
    edit.virtualSize = content.size;
    edit.rawSize = AlignUp(content.size, image.FileAlignment());
    const uint64_t newEnd = edit.rawPointer + edit.rawSize;
    uint64_t imageEnd = edit.sectionRva + content.size;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!inPlace || i != *inPlace) imageEnd = std::max(imageEnd, sections[i].VirtualEnd());
    }
    edit.sizeOfImage = AlignUp(imageEnd, image.SectionAlignment());
    if (newEnd > kMax32 || edit.sizeOfImage > kMax32) {
        throw PeError("the image would pass the 4 GiB limit of its 32-bit offsets");
    }
    edit.sizeOfInitializedData =
        uint64_t{image.SizeOfInitializedData()} - oldRawSize + edit.rawSize;
    edit.rootRva = edit.sectionRva;
    edit.rootSize = content.size;

    // The certificate table, when it sits in the overlay, is dropped with its directory entry.
    const DataDirectory cert = image.Directory(kDirCertificate);
    const uint64_t certStart = cert.virtualAddress;
    const uint64_t certEnd = certStart + cert.size;
    const bool dropCert = cert.size != 0 && certStart >= overlayStart && certEnd <= fileSize;

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
        edit.symbolTable = moved;
    }
    std::vector<uint8_t> header = EditedHeaders(image, edit);
    if (header.size() > cut)
        throw PeError("corrupt image: the section table overlaps section data");

    std::vector<Piece> pieces;
    pieces.push_back({header});
    pieces.push_back({file.Bytes(header.size(), cut - header.size(), "section data")});
    pieces.push_back({{}, edit.rawPointer - cut});
    AddContentPieces(content.tables, content, edit.rawSize, pieces);
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
    PutU32(header.data() + image.OptionalHeaderOffset() + kOhCheckSum, checksum.Finish());

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
