#include "pe/resource_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "pe/checksum.h"
#include "pe/error.h"
#include "pe/format.h"
#include "tests/pe/test_support.h"

namespace {

using pe::PeImage;
using pe::ResourceEditor;
using pe::ResourceId;
using pe_test::Bytes;
using pe_test::Pattern;

const std::vector<uint8_t>& Fixture() {
    static const std::vector<uint8_t> image =
        pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    return image;
}

using Flat = std::map<std::tuple<ResourceId, ResourceId, ResourceId>, std::vector<uint8_t>>;

Flat Flatten(const pe::ResourceTree& tree) {
    Flat flat;
    for (const auto& [type, names] : tree.types)
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages)
                flat[{type, name, language}].assign(data.bytes.begin(), data.bytes.end());
    return flat;
}

uint32_t U32(const std::vector<uint8_t>& b, uint64_t at) {
    uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

void PutU32(std::vector<uint8_t>& b, uint64_t at, uint32_t v) {
    std::memcpy(&b[at], &v, 4);
}

uint64_t DirectoryOffset(const PeImage& image, uint32_t index) {
    return image.OptionalHeaderOffset() + pe::format::kOhDataDirectories + 8 * index;
}

std::vector<uint8_t> WithOverlay(std::vector<uint8_t> image, const std::vector<uint8_t>& overlay) {
    image.insert(image.end(), overlay.begin(), overlay.end());
    return image;
}

TEST(ResourceEditorRead, FindsWhatTheLinkerWrote) {
    ResourceEditor editor(Fixture());
    ASSERT_NE(editor.Find(pe::kRtGroupIcon, uint16_t{1}), nullptr);
    ASSERT_NE(editor.Find(pe::kRtIcon, uint16_t{1}), nullptr);
    ASSERT_NE(editor.Find(pe::kRtVersion, uint16_t{1}), nullptr);
    ASSERT_NE(editor.Find(pe::kRtString, uint16_t{7}), nullptr);
    const auto* manifest = editor.Find(pe::kRtManifest, uint16_t{1});
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest->bytes.begin(), manifest->bytes.end());
    EXPECT_NE(text.find("Cofrex.Tests.ResProbe"), std::string::npos);
    const auto* salt = editor.Find(pe::kRtRcData, u"SALT", pe::kLangNeutral);
    ASSERT_NE(salt, nullptr);
    EXPECT_EQ(std::string(salt->bytes.begin(), salt->bytes.end()), "OLD-SALT\r\n");
    EXPECT_EQ(editor.Find(pe::kRtRcData, u"salt"), nullptr);
    EXPECT_EQ(editor.Find(pe::kRtRcData, u"SALT", uint16_t{1036}), nullptr);
}

// The package builder's sequence: four update cycles, each parsing the previous output.
TEST(ResourceEditorWrite, FourUpdateCyclesKeepEveryResourceAndSection) {
    const std::vector<uint8_t> overlay = Bytes("trailing overlay bytes");
    const std::vector<uint8_t> original = WithOverlay(Fixture(), overlay);
    const PeImage before(original);
    const Flat originalResources = Flatten(ResourceEditor(original).Resources());

    const std::vector<std::pair<std::u16string, std::vector<uint8_t>>> updates = {
        {u"ENCRYPTEDFILE", Pattern(300001, 1)},
        {u"SALT", Bytes(std::string(64, 'A') + "\r\n")},
        {u"FILENAME", Bytes("report.pdf\r\n")},
        {u"HASH", Bytes(std::string(44, 'h') + "\r\n")},
    };
    std::vector<uint8_t> image = original;
    Flat expected = originalResources;
    uint32_t resourceRva = 0, encryptedRva = 0;
    for (size_t step = 0; step < updates.size(); ++step) {
        SCOPED_TRACE(step);
        const auto& [name, data] = updates[step];
        image = pe_test::AddRcData(image, name, data);
        expected[{pe::kRtRcData, name, pe::kLangNeutral}] = data;

        const ResourceEditor reread(image);
        EXPECT_EQ(Flatten(reread.Resources()), expected);
        const PeImage& after = reread.Image();
        ASSERT_EQ(after.Sections().size(), before.Sections().size() + 1);
        // The original sections, the old resource section included, are unchanged.
        for (size_t i = 0; i < before.Sections().size(); ++i) {
            const pe::Section& s = before.Sections()[i];
            EXPECT_EQ(std::memcmp(&after.Sections()[i], &s, sizeof s), 0) << i;
            EXPECT_EQ(0, std::memcmp(&image[s.pointerToRawData], &original[s.pointerToRawData],
                                     s.sizeOfRawData))
                << i;
        }
        const pe::Section& added = after.Sections().back();
        if (step == 0) resourceRva = added.virtualAddress;
        EXPECT_EQ(added.virtualAddress, resourceRva) << "later cycles grow the added section";
        EXPECT_EQ(added.virtualAddress % before.SectionAlignment(), 0u);
        EXPECT_EQ(added.virtualAddress, before.SizeOfImage());
        EXPECT_EQ(added.pointerToRawData % before.FileAlignment(), 0u);
        EXPECT_EQ(added.sizeOfRawData % before.FileAlignment(), 0u);
        // Each cycle's directory ends the section; the data of earlier cycles stays put.
        const pe::DataDirectory root = after.Directory(2);
        EXPECT_EQ(after.SectionOfRva(root.virtualAddress, root.size), after.Sections().size() - 1);
        EXPECT_EQ(root.virtualAddress + root.size, added.VirtualEnd());
        const auto* encrypted = reread.Find(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral);
        if (step == 0) encryptedRva = encrypted->rva;
        EXPECT_EQ(encrypted->rva, encryptedRva);
        EXPECT_EQ(after.SizeOfImage(), (added.VirtualEnd() + before.SectionAlignment() - 1) &
                                           ~uint64_t{before.SectionAlignment() - 1});
        EXPECT_EQ(after.SizeOfInitializedData(),
                  before.SizeOfInitializedData() + added.sizeOfRawData);
        // The overlay follows the new section; the symbol table moved with it.
        ASSERT_EQ(image.size(), added.RawEnd() + (original.size() - before.EndOfSectionData()));
        EXPECT_TRUE(std::equal(overlay.begin(), overlay.end(), image.end() - overlay.size()));
        if (before.PointerToSymbolTable() != 0) {
            EXPECT_EQ(0, std::memcmp(&image[after.PointerToSymbolTable()],
                                     &original[before.PointerToSymbolTable()], 64));
        }
    }
}

// Whatever the linker left, each cycle's output reads back with every resource: the original
// ones and those added so far. paddedreloc.exe ends with a .reloc whose raw data runs past its
// virtual size rounded up to the section alignment, into the addresses a new section takes.
class EveryCycle : public testing::TestWithParam<const char*> {};

TEST_P(EveryCycle, ReadsBackEveryResource) {
    const std::vector<uint8_t> original = pe_test::ReadFile(pe_test::FixturePath(GetParam()));
    Flat expected = Flatten(ResourceEditor(original).Resources());
    ASSERT_FALSE(expected.empty());
    std::vector<uint8_t> image = original;
    const std::pair<const char16_t*, std::vector<uint8_t>> updates[] = {
        {u"ENCRYPTEDFILE", Pattern(100003, 2)},
        {u"SALT", Bytes(std::string(64, 'B') + "\r\n")},
        {u"FILENAME", Bytes("notes.txt\r\n")},
        {u"HASH", Bytes(std::string(44, 'h') + "\r\n")},
    };
    for (const auto& [name, data] : updates) {
        SCOPED_TRACE(pe_test::Narrow(name));
        image = pe_test::AddRcData(image, name, data);
        expected[{pe::kRtRcData, name, pe::kLangNeutral}] = data;
        const Flat reread = Flatten(ResourceEditor(image).Resources());
        EXPECT_TRUE(reread == expected) << reread.size() << " resources of " << expected.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EveryCycle, testing::Values("resprobe.exe", "paddedreloc.exe"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// A section whose address is not aligned maps its raw data past its virtual size rounded
// up: a section added after it must start beyond those bytes, or the reader finds the new
// directory inside the old section.
TEST(ResourceEditorWrite, AddedSectionStartsPastTheRawDataOfAnUnalignedSection) {
    std::vector<uint8_t> image = Fixture();
    const PeImage headers(image);
    const auto& sections = headers.Sections();
    const auto moved = std::find_if(sections.begin(), sections.end(), [&](const pe::Section& s) {
        return s.sizeOfRawData > 0x100 && s.virtualAddress != headers.Directory(2).virtualAddress;
    });
    ASSERT_NE(moved, sections.end());
    uint64_t top = 0;
    for (const pe::Section& s : sections) top = std::max(top, s.VirtualEnd());
    const uint32_t alignment = headers.SectionAlignment();
    const uint64_t page = (top + alignment - 1) / alignment * alignment;
    const uint64_t entry = headers.SectionTableOffset() +
                           uint64_t(moved - sections.begin()) * pe::format::sizeOfSectionHeader;
    PutU32(image, entry + pe::format::kShVirtualSize, 0x30);
    PutU32(image, entry + pe::format::kShVirtualAddress,
           static_cast<uint32_t>(page + alignment - 0x100));

    ResourceEditor editor(image);
    Flat expected = Flatten(editor.Resources());
    editor.Set(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral, Pattern(5000, 3));
    expected[{pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral}] = Pattern(5000, 3);
    const std::vector<uint8_t> rewritten = editor.ToBytes();
    EXPECT_TRUE(Flatten(ResourceEditor(rewritten).Resources()) == expected);
    const std::vector<uint8_t> patched = pe_test::Edited(editor, image);
    EXPECT_TRUE(Flatten(ResourceEditor(patched).Resources()) == expected);
}

// The same mapping in front of the last section: rebuilt from its start, the resource
// section would put its new directory where the unaligned section answers first.
TEST(ResourceEditorWrite, LastSectionReachedByAnUnalignedSectionIsNotRebuiltInPlace) {
    std::vector<uint8_t> image = pe_test::AddRcData(Fixture(), u"ENCRYPTEDFILE", Pattern(5000, 4));
    image = pe_test::AddRcData(image, u"FILENAME", Bytes("notes.txt\r\n"));
    const PeImage headers(image);
    const pe::Section& last = headers.Sections().back();
    ASSERT_GT(headers.Directory(2).virtualAddress, last.virtualAddress + 0x400u)
        << "the second edit appends its directory to the section";
    const uint64_t data = headers.SectionTableOffset() + pe::format::sizeOfSectionHeader;
    ASSERT_GE(U32(image, data + pe::format::kShSizeOfRawData), 0x400u);
    PutU32(image, data + pe::format::kShVirtualSize, 0x30);
    PutU32(image, data + pe::format::kShVirtualAddress, last.virtualAddress - 0x100);

    ResourceEditor editor(image);
    Flat expected = Flatten(editor.Resources());
    editor.Set(pe::kRtRcData, u"SALT", pe::kLangNeutral, Bytes("salt"));
    expected[{pe::kRtRcData, u"SALT", pe::kLangNeutral}] = Bytes("salt");
    EXPECT_TRUE(Flatten(ResourceEditor(editor.ToBytes()).Resources()) == expected);
}

std::vector<uint8_t> Rewritten(const std::vector<uint8_t>& image, const std::u16string& name,
                               const std::vector<uint8_t>& data) {
    ResourceEditor editor(image);
    editor.Set(pe::kRtRcData, name, pe::kLangNeutral, data);
    return editor.ToBytes();
}

TEST(ResourceEditorWrite, RewritingGrowsAndShrinksTheLastResourceSection) {
    const std::vector<uint8_t> overlay = Bytes("OVERLAY");
    std::vector<uint8_t> image = Rewritten(WithOverlay(Fixture(), overlay), u"HASH", Bytes("h"));
    const size_t small = image.size();
    const auto big = Pattern(70000, 7);
    image = Rewritten(image, u"HASH", big);
    const size_t grown = image.size();
    EXPECT_GE(grown, small + big.size());
    {
        ResourceEditor editor(image);
        ASSERT_NE(editor.Find(pe::kRtRcData, u"HASH", pe::kLangNeutral), nullptr);
        EXPECT_TRUE(editor.Remove(pe::kRtRcData, u"HASH", pe::kLangNeutral));
        EXPECT_FALSE(editor.Remove(pe::kRtRcData, u"HASH", pe::kLangNeutral));
        image = editor.ToBytes();
    }
    EXPECT_LE(image.size(), small);
    EXPECT_LT(image.size(), grown);
    EXPECT_TRUE(std::equal(overlay.begin(), overlay.end(), image.end() - overlay.size()));
    const ResourceEditor reread(image);
    EXPECT_EQ(reread.Find(pe::kRtRcData, u"HASH"), nullptr);
    EXPECT_EQ(Flatten(reread.Resources()), Flatten(ResourceEditor(Fixture()).Resources()));
}

// An update in place writes what changed: a small text added next to large data costs the
// directory and the text, whatever the size of the data.
TEST(ResourceEditorPatch, CostsWhatItChanges) {
    const std::vector<uint8_t> original =
        pe_test::ReadFile(pe_test::FixturePath("paddedreloc.exe"));
    const auto large = Pattern(4 << 20, 9);
    const std::vector<uint8_t> package = pe_test::AddRcData(original, u"ENCRYPTEDFILE", large);
    ResourceEditor editor(package);
    const auto salt = Bytes(std::string(64, 'S') + "\r\n");
    editor.Set(pe::kRtRcData, u"SALT", pe::kLangNeutral, salt);
    const std::optional<pe::ImagePatch> patch = editor.PlanInPlace();
    ASSERT_TRUE(patch.has_value());
    EXPECT_LT(patch->WrittenBytes(), 8192u);
    EXPECT_EQ(patch->tailOffset, package.size());
}

// Replaced data stays behind, unreferenced, until it outweighs what is still referenced and
// passes 1 MiB; then only a rewrite, which compacts the section, can make the edit.
TEST(ResourceEditorPatch, RewritesOnceUnreferencedBytesOutweighTheLiveOnes) {
    std::vector<uint8_t> image =
        pe_test::AddRcData(Fixture(), u"ENCRYPTEDFILE", Pattern(3 << 20, 1));
    struct Row {
        size_t replacement;
        bool inPlace;
    } rows[] = {{(3 << 20) + 65536, true}, {100, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.replacement);
        ResourceEditor editor(image);
        editor.Set(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral, Pattern(row.replacement, 2));
        EXPECT_EQ(editor.PlanInPlace().has_value(), row.inPlace);
    }
    ResourceEditor editor(image);
    editor.Set(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral, Pattern(100, 2));
    const std::vector<uint8_t> compacted = editor.ToBytes();
    EXPECT_LT(compacted.size(), image.size() - (3 << 20) + 4096);
    const ResourceEditor reread(compacted);
    const auto* data = reread.Find(pe::kRtRcData, u"ENCRYPTEDFILE");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(std::ranges::equal(data->bytes, Pattern(100, 2)));
}

// The checksum a patch adjusts from the stored one, or sums whole when none is stored, is the
// one a full sum of the patched file gives.
TEST(ResourceEditorPatch, ChecksumMatchesAFullSum) {
    for (const bool stored : {true, false}) {
        SCOPED_TRACE(stored);
        std::vector<uint8_t> image = WithOverlay(Fixture(), Bytes("odd overlay"));
        const uint64_t field = PeImage(image).OptionalHeaderOffset() + pe::format::kOhCheckSum;
        PutU32(image, field, 0);
        pe::PeChecksum withOverlay;
        withOverlay.Update(image);
        if (stored) PutU32(image, field, withOverlay.Finish());
        for (const auto& [name, size] : {std::pair{u"ENCRYPTEDFILE", 100001}, {u"SALT", 66}}) {
            image = pe_test::AddRcData(image, name, Pattern(size, 8));
            std::vector<uint8_t> zeroed = image;
            PutU32(zeroed, field, 0);
            pe::PeChecksum full;
            full.Update(zeroed);
            EXPECT_EQ(U32(image, field), full.Finish());
        }
    }
}

// Applying the patch's undo ranges and old size gives the old file back.
TEST(ResourceEditorPatch, UndoRestoresTheOldFile) {
    const std::vector<uint8_t> original = WithOverlay(Fixture(), Bytes("overlay"));
    for (const char16_t* name : {u"SALT", u"ENCRYPTEDFILE"}) {
        const std::vector<uint8_t> before = pe_test::AddRcData(original, u"HASH", Bytes("h"));
        ResourceEditor editor(before);
        editor.Set(pe::kRtRcData, name, pe::kLangNeutral, Pattern(5000, 3));
        std::optional<pe::ImagePatch> patch = editor.PlanInPlace();
        ASSERT_TRUE(patch.has_value());
        std::vector<uint8_t> file = before;
        patch->ApplyTo(file);
        ASSERT_NE(file, before);
        file.resize(patch->oldSize);
        for (const auto& range : patch->undo)
            std::copy(range.bytes.begin(), range.bytes.end(), file.begin() + range.offset);
        EXPECT_EQ(file, before);
    }
}

TEST(ResourceEditorWrite, RemovesTheCertificateTableFromTheOverlay) {
    const std::vector<uint8_t> before = Bytes("before-cert|"), cert = Pattern(64, 3),
                               after = Bytes("|after-cert");
    std::vector<uint8_t> image = Fixture();
    const PeImage headers(image);
    PutU32(image, DirectoryOffset(headers, 4), static_cast<uint32_t>(image.size() + before.size()));
    PutU32(image, DirectoryOffset(headers, 4) + 4, static_cast<uint32_t>(cert.size()));
    image = WithOverlay(WithOverlay(WithOverlay(image, before), cert), after);

    const std::vector<uint8_t> out = pe_test::AddRcData(image, u"SALT", Bytes("x"));
    const PeImage written(out);
    EXPECT_EQ(written.Directory(4).virtualAddress, 0u);
    EXPECT_EQ(written.Directory(4).size, 0u);
    const PeImage fixture(Fixture());
    std::vector<uint8_t> expectedOverlay(
        Fixture().begin() + static_cast<ptrdiff_t>(fixture.EndOfSectionData()), Fixture().end());
    expectedOverlay.insert(expectedOverlay.end(), before.begin(), before.end());
    expectedOverlay.insert(expectedOverlay.end(), after.begin(), after.end());
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + static_cast<ptrdiff_t>(written.EndOfSectionData()),
                                   out.end()),
              expectedOverlay);
}

TEST(ResourceEditorWrite, ImageWithoutResourcesGetsASection) {
    std::vector<uint8_t> image = Fixture();
    const PeImage headers(image);
    PutU32(image, DirectoryOffset(headers, 2), 0);
    PutU32(image, DirectoryOffset(headers, 2) + 4, 0);
    ResourceEditor editor(image);
    EXPECT_TRUE(editor.Resources().types.empty());
    editor.Set(u"CUSTOM", u"N", uint16_t{1033}, Bytes("payload"));
    const std::vector<uint8_t> out = editor.ToBytes();
    const ResourceEditor reread(out);
    ASSERT_EQ(Flatten(reread.Resources()).size(), 1u);
    const auto* found = reread.Find(u"CUSTOM", u"N");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(std::string(found->bytes.begin(), found->bytes.end()), "payload");
}

// Directory entries in the order the loader's binary search needs, read from the raw tables.
TEST(ResourceEditorWrite, TablesAreSortedAndAligned) {
    ResourceEditor editor(Fixture());
    for (const char16_t* name : {u"b", u"B", u"AB", u"A", u"a", u"\u00e9", u"Z"}) {
        editor.Set(pe::kRtRcData, name, pe::kLangNeutral, Bytes("n"));
    }
    editor.Set(pe::kRtRcData, uint16_t{5}, uint16_t{1036}, Bytes("odd"));
    editor.Set(pe::kRtRcData, uint16_t{5}, pe::kLangNeutral, Bytes("x"));
    editor.Set(pe::kRtRcData, uint16_t{3}, pe::kLangNeutral, Bytes("x"));
    const std::vector<uint8_t> out = editor.ToBytes();
    const PeImage image(out);
    const uint32_t rootRva = image.Directory(2).virtualAddress;
    const uint64_t root = *image.RvaToOffset(rootRva, 16);
    auto readTable = [&](uint64_t table) {
        std::vector<std::pair<uint32_t, uint32_t>> entries;
        const uint32_t count = uint32_t{out[table + 12]} + (out[table + 13] << 8) +
                               out[table + 14] + (out[table + 15] << 8);
        for (uint32_t i = 0; i < count; ++i) {
            entries.emplace_back(U32(out, table + 16 + 8 * i), U32(out, table + 20 + 8 * i));
        }
        return entries;
    };
    uint64_t rcdata = 0;
    for (const auto& [name, target] : readTable(root)) {
        if (name == pe::kRtRcData) rcdata = root + (target & 0x7FFFFFFF);
    }
    ASSERT_NE(rcdata, 0u);
    std::vector<std::u16string> order;
    for (const auto& [name, target] : readTable(rcdata)) {
        if (name & 0x80000000) {
            const uint64_t at = root + (name & 0x7FFFFFFF);
            EXPECT_EQ(at % 2, 0u);
            std::u16string text;
            for (uint32_t i = 0; i < uint32_t{out[at]} + (out[at + 1] << 8); ++i) {
                text += static_cast<char16_t>(out[at + 2 + 2 * i] | (out[at + 3 + 2 * i] << 8));
            }
            order.push_back(text);
        } else {
            order.push_back(u"#" + std::u16string(1, static_cast<char16_t>(u'0' + name)));
        }
        for (const auto& [language, entry] : readTable(root + (target & 0x7FFFFFFF))) {
            EXPECT_EQ((root + entry) % 4, 0u);
            EXPECT_EQ(U32(out, root + entry) % 8, 0u) << "data RVA aligned";
        }
    }
    const std::vector<std::u16string> expected = {u"A", u"AB", u"B",      u"SALT", u"Z",
                                                  u"a", u"b",  u"\u00e9", u"#3",   u"#5"};
    EXPECT_EQ(order, expected);
}

TEST(ResourceEditorWrite, RefusesTwoGibibytesBeforeWriting) {
    ResourceEditor editor(Fixture());
    const uint8_t byte = 0;
    // Only the length is looked at: the refusal comes before any byte is read.
    const std::span<const uint8_t> huge(&byte, size_t{0x80000000});
    try {
        editor.Set(pe::kRtRcData, u"ENCRYPTEDFILE", pe::kLangNeutral, huge);
        FAIL() << "accepted 2 GiB";
    } catch (const pe::PeError& e) {
        EXPECT_STREQ(e.what(), "resource data of 2 GiB or more cannot be stored");
    }
    EXPECT_EQ(editor.Find(pe::kRtRcData, u"ENCRYPTEDFILE"), nullptr);
    EXPECT_EQ(editor.ToBytes(), ResourceEditor(Fixture()).ToBytes());
}

// Raw data is padded to the file alignment: above the format's 64 KiB a hostile image
// would have every edit write hundreds of megabytes of zeros.
TEST(ResourceEditorWrite, FileAlignmentAboveSixtyFourKibibytesIsRefusedBeforeWriting) {
    for (const uint32_t alignment : {0x10000u, 0x20000u, 0x10000000u}) {
        SCOPED_TRACE(alignment);
        std::vector<uint8_t> image = Fixture();
        const PeImage headers(image);
        PutU32(image, headers.OptionalHeaderOffset() + pe::format::kOhFileAlignment, alignment);
        ResourceEditor editor(image);
        editor.Set(pe::kRtRcData, u"SALT", pe::kLangNeutral, Bytes("x"));
        if (alignment <= 0x10000) {
            EXPECT_NE(ResourceEditor(editor.ToBytes()).Find(pe::kRtRcData, u"SALT"), nullptr);
            continue;
        }
        EXPECT_FALSE(editor.PlanInPlace().has_value());
        size_t written = 0;
        EXPECT_THROW(editor.Write([&](std::span<const uint8_t> b) { written += b.size(); }),
                     pe::PeError);
        EXPECT_EQ(written, 0u);
    }
}

TEST(ResourceEditorWrite, NoRoomForASectionHeaderWritesNothing) {
    std::vector<uint8_t> image = Fixture();
    const PeImage headers(image);
    image[headers.SectionTableEnd() + 39] = 1;  // the slot after the table is in use
    ResourceEditor editor(image);
    editor.Set(pe::kRtRcData, u"SALT", pe::kLangNeutral, Bytes("x"));
    size_t written = 0;
    EXPECT_THROW(editor.Write([&](std::span<const uint8_t> b) { written += b.size(); }),
                 pe::PeError);
    EXPECT_EQ(written, 0u);
}

}  // namespace
