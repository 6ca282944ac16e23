#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "builder/ResourceStore.h"
#include "package_support.h"
#include "pe/byte_view.h"
#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_editor.h"
#include "rtl/Exception.h"

namespace {

using builder::PackageVerdict;
using builder_test::ReadAll;
using builder_test::WriteAll;
using rtl::String;
using Bytes = std::vector<uint8_t>;

// Rewrites the package's bytes with `change`.
void Edit(const String& package, const std::function<void(Bytes&)>& change) {
    Bytes bytes = ReadAll(package);
    change(bytes);
    WriteAll(package, bytes);
}

void FlipCodeByte(const String& package) {
    Edit(package, [](Bytes& bytes) {
        const pe::PeImage image(bytes);
        const auto text = std::ranges::find_if(image.Sections(), [](const pe::Section& s) {
            return std::string_view(reinterpret_cast<const char*>(s.name.data())) == ".text";
        });
        ASSERT_NE(text, image.Sections().end());
        bytes[text->pointerToRawData + 0x40] ^= 0x01;
    });
}

void AddExtraResource(const String& package) {
    const Bytes data = {'e', 'x', 't', 'r', 'a'};
    builder::AddResourceData(package, u"EXTRA", data);
}

void AppendOverlay(const String& package) {
    Edit(package, [](Bytes& bytes) { bytes.insert(bytes.end(), 100, 0xCC); });
}

// A certificate table at the end, as a signing tool appends it: 8-byte aligned, a
// WIN_CERTIFICATE header (length, revision 2.0, PKCS #7 type) and its data.
void AddCertificateTable(const String& package) {
    Edit(package, [](Bytes& bytes) {
        bytes.resize((bytes.size() + 7) / 8 * 8);
        const auto offset = static_cast<uint32_t>(bytes.size());
        Bytes certificate(8 + 64, 0x30);
        pe::PutU32(certificate.data(), static_cast<uint32_t>(certificate.size()));
        pe::PutU16(certificate.data() + 4, 0x0200);
        pe::PutU16(certificate.data() + 6, 0x0002);
        bytes.insert(bytes.end(), certificate.begin(), certificate.end());
        const pe::PeImage image(bytes);
        uint8_t* entry = bytes.data() + image.OptionalHeaderOffset() +
                         pe::format::kOhDataDirectories +
                         pe::format::kDirCertificate * pe::format::sizeOfDataDirectory;
        pe::PutU32(entry, offset);
        pe::PutU32(entry + 4, static_cast<uint32_t>(certificate.size()));
    });
}

void CutEncryptedFileShort(const String& package) {
    const Bytes image = ReadAll(package);
    const pe::ResourceEditor editor(image);
    const auto encrypted = editor.Find(pe::kRtRcData, u"ENCRYPTEDFILE")->bytes;
    const Bytes shorter(encrypted.begin(), encrypted.end() - 7);
    builder::AddResourceData(package, u"ENCRYPTEDFILE", shorter);
}

void RemoveHash(const String& package) {
    Edit(package, [](Bytes& bytes) {
        pe::ResourceEditor editor(bytes);
        ASSERT_TRUE(editor.Remove(pe::kRtRcData, u"HASH", pe::kLangNeutral));
        bytes = editor.ToBytes();
    });
}

// Another icon or manifest under the unlocker's own resource key.
void ReplaceOneOfTheUnlockersResources(const String& package) {
    Edit(package, [](Bytes& bytes) {
        pe::ResourceEditor editor(bytes);
        const auto& [type, names] = *editor.Resources().types.rbegin();
        const auto& [name, languages] = *names.names.begin();
        const pe::ResourceId language = languages.languages.begin()->first;
        editor.Set(type, name, language, Bytes{'<', '/', '>'});
        bytes = editor.ToBytes();
    });
}

void KeepFirstKilobyte(const String& package) {
    Edit(package, [](Bytes& bytes) { bytes.resize(1024); });
}

void ReplaceWithText(const String& package) {
    WriteAll(package, Bytes{'M', 'Z', ' ', 'n', 'o', 't', 'e', 's'});
}

class PackageVerify : public builder_test::PackageFolder {};

TEST_F(PackageVerify, APackageAsTheLockMadeItIsGenuineAndTheCheckLeavesNoFileBehind) {
    const String package = Lock(u"notes.exe");
    const Bytes before = ReadAll(package);

    const builder::PackageCheck check = Verify(package);

    EXPECT_EQ(check.verdict, PackageVerdict::genuine) << rtl::Utf8Encode(check.reason);
    EXPECT_TRUE(check.reason.empty());
    EXPECT_EQ(ReadAll(package), before);
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder_)))
        EXPECT_EQ(entry.path().string().find("cofrex-verify"), std::string::npos) << entry.path();
}

TEST_F(PackageVerify, EachAlterationIsReportedWithItsOwnReason) {
    struct Case {
        const char* what;
        void (*alter)(const String&);
        PackageVerdict verdict;
        const char16_t* reasonStart;
    };
    const Case cases[] = {
        {"one byte of code", FlipCodeByte, PackageVerdict::codeDiffers, u"its code differs"},
        {"an unlocker resource", ReplaceOneOfTheUnlockersResources, PackageVerdict::codeDiffers,
         u"its resource (type "},
        {"an extra resource", AddExtraResource, PackageVerdict::extraResources,
         u"it carries a resource the locker does not write (type 10, name EXTRA, language 0)"},
        {"an overlay", AppendOverlay, PackageVerdict::overlay,
         u"100 bytes were added after the image"},
        {"a certificate table", AddCertificateTable, PackageVerdict::signatureAdded,
         u"a signature (certificate table) was added"},
        {"ENCRYPTEDFILE cut short", CutEncryptedFileShort, PackageVerdict::resourceCutShort,
         u"the resource ENCRYPTEDFILE is cut short: 5017 bytes"},
        {"HASH removed", RemoveHash, PackageVerdict::resourceMissing,
         u"the resource HASH is missing"},
        {"the file cut after 1 KiB", KeepFirstKilobyte, PackageVerdict::notAnImage,
         u"it is not a Windows program: "},
        {"a text file", ReplaceWithText, PackageVerdict::notAnImage,
         u"it is not a Windows program: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const String package = Lock(rtl::Str(c.what) + u".exe");
        c.alter(package);

        const builder::PackageCheck check = Verify(package);

        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_TRUE(check.reason.starts_with(c.reasonStart)) << rtl::Utf8Encode(check.reason);
    }
}

TEST_F(PackageVerify, APackageOfAnotherUnlockerHasOtherCode) {
    const String package =
        Lock(u"other.exe", ReadAll(builder_test::FixtureSibling(u"paddedreloc.exe")));

    EXPECT_EQ(Verify(package).verdict, PackageVerdict::codeDiffers);
}

TEST_F(PackageVerify, TheBareUnlockerLacksThePackageResources) {
    WriteAll(Path(u"bare.exe"), unlocker_);

    const builder::PackageCheck check = Verify(Path(u"bare.exe"));

    EXPECT_EQ(check.verdict, PackageVerdict::resourceMissing);
    EXPECT_EQ(check.reason, u"the resource ENCRYPTEDFILE is missing");
}

TEST_F(PackageVerify, AMissingPackageFileRaisesAndAnUnlockerThatIsNoImageIsRefused) {
    EXPECT_THROW(Verify(Path(u"absent.exe")), rtl::EFOpenError);
    const String package = Lock(u"notes.exe");
    EXPECT_THROW(builder::VerifyPackage(package, Bytes{'M', 'Z'}), pe::PeError);
}

}  // namespace
