// Hostile and damaged images: every one gives a PeError with a clear message, never a crash
// or an out-of-bounds read (run under the sanitizers).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_editor.h"
#include "tests/pe/test_support.h"

namespace {

using pe::PeImage;

const std::vector<uint8_t>& Fixture() {
    static const std::vector<uint8_t> image =
        pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    return image;
}

uint32_t Get32(const std::vector<uint8_t>& b, uint64_t at) {
    uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}
void Put32(std::vector<uint8_t>& b, uint64_t at, uint32_t v) {
    std::memcpy(&b[at], &v, 4);
}
void Put16(std::vector<uint8_t>& b, uint64_t at, uint16_t v) {
    std::memcpy(&b[at], &v, 2);
}

// Offsets of the fixture's structures, for aiming the mutations.
struct Map {
    uint64_t fileHeader, optional, sectionTable, resourceDir, root, typeDir, nameDir, dataEntry;
};

Map Locate(const std::vector<uint8_t>& b) {
    const PeImage image(b);
    Map m{};
    m.fileHeader = image.FileHeaderOffset();
    m.optional = image.OptionalHeaderOffset();
    m.sectionTable = image.SectionTableOffset();
    m.resourceDir = m.optional + pe::format::kOhDataDirectories + 8 * pe::format::kDirResource;
    m.root = *image.RvaToOffset(image.Directory(pe::format::kDirResource).virtualAddress, 16);
    m.typeDir = m.root + (Get32(b, m.root + 20) & 0x7FFFFFFF);
    m.nameDir = m.root + (Get32(b, m.typeDir + 20) & 0x7FFFFFFF);
    m.dataEntry = m.root + Get32(b, m.nameDir + 20);
    return m;
}

struct Mutation {
    const char* name;
    std::function<void(std::vector<uint8_t>&, const Map&)> apply;
    const char* message;  // part of the expected error message
};

class Malformed : public testing::TestWithParam<Mutation> {};

TEST_P(Malformed, GivesAClearError) {
    std::vector<uint8_t> image = Fixture();
    GetParam().apply(image, Locate(image));
    try {
        pe::ResourceEditor editor(image);
        editor.Set(pe::kRtRcData, u"SALT", pe::kLangNeutral, pe_test::Bytes("x"));
        editor.ToBytes();
        FAIL() << "accepted";
    } catch (const pe::PeError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

const Mutation kMutations[] = {
    {"NoMz", [](auto& b, auto&) { b[0] = 'X'; }, "no MZ header"},
    {"TruncatedDosHeader", [](auto& b, auto&) { b.resize(40); }, "DOS header lies past the end"},
    {"SignaturePastEnd", [](auto& b, auto&) { Put32(b, 0x3C, 0xFFFFFFF0); },
     "PE signature lies past the end"},
    {"NoPeSignature", [](auto& b, auto& m) { b[m.fileHeader - 4] = 'X'; }, "no PE signature"},
    {"Pe32NotPlus", [](auto& b, auto& m) { Put16(b, m.optional, 0x10B); }, "not a PE32+"},
    {"OptionalHeaderPastEnd",
     [](auto& b, auto& m) { Put16(b, m.fileHeader + 16, 0xFFFF), b.resize(m.optional + 0x200); },
     "optional header lies past the end"},
    {"DirectoriesOverrunHeader", [](auto& b, auto& m) { Put32(b, m.optional + 108, 0x10000000); },
     "data directories overrun"},
    {"ZeroFileAlignment", [](auto& b, auto& m) { Put32(b, m.optional + 36, 0); }, "power of two"},
    {"SectionTablePastEnd", [](auto& b, auto& m) { Put16(b, m.fileHeader + 2, 0xFFFF); },
     "section table lies past the end"},
    {"TruncatedHalfway", [](auto& b, auto&) { b.resize(b.size() / 2); },
     "lies past the end of the file"},
    {"SectionPointerPastEnd",
     [](auto& b, auto& m) { Put32(b, m.sectionTable + 20, static_cast<uint32_t>(b.size())); },
     "past the end of the file"},
    {"SectionSizeOverflows", [](auto& b, auto& m) { Put32(b, m.sectionTable + 16, 0xFFFFFFFF); },
     "past the end of the file"},
    {"ResourceDirectoryOutsideSections",
     [](auto& b, auto& m) { Put32(b, m.resourceDir, 0xFFFFFF00); }, "outside every section"},
    {"LoopToRoot", [](auto& b, auto& m) { Put32(b, m.typeDir + 20, 0x80000000); }, "reached twice"},
    {"SelfLoop",
     [](auto& b, auto& m) {
         Put32(b, m.root + 20, 0x80000000 | static_cast<uint32_t>(m.root - m.root));
     },
     "reached twice"},
    {"EntryCountPastEnd", [](auto& b, auto& m) { Put16(b, m.nameDir + 14, 0xFFFF); },
     "resource directory entries lies past the end"},
    {"SubdirectoryPastEnd", [](auto& b, auto& m) { Put32(b, m.root + 20, 0xFFFFFFF0); },
     "resource directory lies past the end"},
    {"NamePastEnd", [](auto& b, auto& m) { Put32(b, m.root + 16, 0xFFFFFFF0); },
     "resource name lies past the end"},
    {"NameLengthPastEnd",
     [](auto& b, auto& m) {
         Put32(b, m.root + 16, 0x80000000 | static_cast<uint32_t>(m.dataEntry + 4 - m.root));
         Put32(b, m.dataEntry + 4, 0xFFFF);
     },
     "past the end"},
    {"IdAbove65535", [](auto& b, auto& m) { Put32(b, m.root + 16, 0x00010000); }, "above 65535"},
    {"DataOutsideSections", [](auto& b, auto& m) { Put32(b, m.dataEntry, 0xFFFFFFF0); },
     "outside the image's sections"},
    {"DataSizeOverflows", [](auto& b, auto& m) { Put32(b, m.dataEntry + 4, 0xFFFFFFFF); },
     "outside the image's sections"},
    {"DataEntryPastEnd", [](auto& b, auto& m) { Put32(b, m.nameDir + 20, 0x7FFFFFF0); },
     "resource data entry lies past the end"},
    {"FourLevels", [](auto& b, auto& m) { Put32(b, m.nameDir + 20, 0x80000000 | 0x10); },
     "more than three levels"},
    {"DataAtTypeLevel", [](auto& b, auto& m) { Put32(b, m.root + 20, Get32(b, m.nameDir + 20)); },
     "above the language level"},
    {"DuplicateEntry",
     [](auto& b, auto& m) {
         // The first two type entries get the same id; their subdirectories stay distinct.
         Put32(b, m.root + 24, Get32(b, m.root + 16));
     },
     "appears twice"},
};

INSTANTIATE_TEST_SUITE_P(Mutations, Malformed, testing::ValuesIn(kMutations),
                         [](const auto& info) { return std::string(info.param.name); });

// Random damage to the headers and the resource tree, fixed seed: an error or a sound image.
TEST(MalformedRandom, DamageNeverCrashes) {
    std::vector<uint8_t> image = Fixture();
    const Map m = Locate(image);
    const PeImage clean(image);
    const size_t rsrc = *clean.SectionOfRva(clean.Directory(2).virtualAddress, 16);
    const uint64_t rsrcStart = clean.Sections()[rsrc].pointerToRawData;
    const uint64_t rsrcSize = clean.Sections()[rsrc].sizeOfRawData;
    std::mt19937 rng(20240611);
    int accepted = 0, refused = 0;
    for (int iteration = 0; iteration < 2000; ++iteration) {
        std::vector<std::pair<uint64_t, uint8_t>> undo;
        const int changes = 1 + static_cast<int>(rng() % 6);
        for (int c = 0; c < changes; ++c) {
            const uint64_t at = (rng() % 3 == 0)
                                    ? rng() % (m.sectionTable + 40 * clean.Sections().size())
                                    : rsrcStart + rng() % rsrcSize;
            undo.emplace_back(at, image[at]);
            image[at] = (rng() % 2) ? static_cast<uint8_t>(rng())
                                    : static_cast<uint8_t>(image[at] ^ (1u << (rng() % 8)));
        }
        const size_t length = (rng() % 10 == 0) ? rng() % image.size() : image.size();
        try {
            pe::ResourceEditor editor(std::span<const uint8_t>(image.data(), length));
            editor.Set(pe::kRtRcData, u"HASH", pe::kLangNeutral, pe_test::Bytes("hash\r\n"));
            uint64_t written = 0;
            editor.Write([&](std::span<const uint8_t> b) { written += b.size(); });
            EXPECT_GT(written, 0u);
            ++accepted;
        } catch (const pe::PeError& e) {
            EXPECT_GT(std::strlen(e.what()), 10u);
            ++refused;
        }
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) image[it->first] = it->second;
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
