#include <gtest/gtest.h>

#include <memory>

#include "builder/ResourceStore.h"
#include "pe/resource_editor.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "support.h"

namespace {

using builder::AddResource;
using builder::ReadResource;
using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::WriteAll;
using rtl::String;

class ResourceStore : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        exe_ = Path(u"unlocker copy.exe");
        ASSERT_TRUE(platform::CopyFileOver(builder_test::FixtureExe(), exe_));
    }
    void TearDown() override {
        platform::SetRunningProgramResources(nullptr);
        running_.reset();
        ScratchFolder::TearDown();
    }
    // Makes the edited executable the running program, as a package is.
    void RunAsPackage() {
        running_ = std::make_unique<platform::PeFileResources>(exe_);
        platform::SetRunningProgramResources(running_.get());
    }
    String ReadText(const String& name) {
        String value;
        ReadResource(name, true, value);
        return value;
    }
    std::vector<uint8_t> ResourceBytes(const String& name) {
        const std::vector<uint8_t> image = ReadAll(exe_);
        const pe::ResourceEditor editor(image);
        const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
        if (!data) return {};
        return {data->bytes.begin(), data->bytes.end()};
    }
    bool TempFileExists() { return platform::FileExists(builder::TempResourcePath()); }

    String exe_;
    std::unique_ptr<platform::PeFileResources> running_;
};

TEST_F(ResourceStore, TempFileLivesInTheTemporaryFolder) {
    EXPECT_EQ(builder::TempResourcePath(), folder_ + u"tempresource.txt");
}

TEST_F(ResourceStore, PackageResourcesRoundTripAndTheProgramsOwnSurvive) {
    const std::vector<uint8_t> payload = Pattern(300'000, 7);
    WriteAll(Path(u"payload.bin"), payload);
    const std::vector<uint8_t> before = ReadAll(exe_);
    const pe::ResourceEditor original(before);

    AddResource(exe_, false, Path(u"payload.bin"), u"ENCRYPTEDFILE");
    AddResource(exe_, true, String(64, u'C'), u"SALT");
    AddResource(exe_, true, u"Q3 report.xlsx", u"FILENAME");
    AddResource(exe_, true, u"n4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg=", u"HASH");
    EXPECT_FALSE(TempFileExists());

    EXPECT_EQ(ResourceBytes(u"SALT").size(), 66u);
    EXPECT_EQ(ResourceBytes(u"HASH").size(), 46u);
    EXPECT_EQ(ResourceBytes(u"FILENAME"),
              std::vector<uint8_t>({'Q', '3', ' ', 'r', 'e', 'p', 'o', 'r', 't', '.', 'x', 'l', 's',
                                    'x', '\r', '\n'}));

    RunAsPackage();
    String out = Path(u"out.bin");
    ReadResource(u"ENCRYPTEDFILE", false, out);
    EXPECT_EQ(ReadAll(Path(u"out.bin")), payload);
    EXPECT_EQ(ReadText(u"SALT"), String(64, u'C'));
    EXPECT_EQ(ReadText(u"FILENAME"), u"Q3 report.xlsx");
    EXPECT_EQ(ReadText(u"HASH"), u"n4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg=");
    EXPECT_FALSE(TempFileExists());

    // Icons, manifest, version information and strings are still there, byte for byte.
    const std::vector<uint8_t> after = ReadAll(exe_);
    const pe::ResourceEditor edited(after);
    for (const auto& [type, names] : original.Resources().types) {
        if (type == pe::ResourceId(pe::kRtRcData)) continue;
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages) {
                const pe::ResourceData* kept = edited.Find(type, name, language);
                ASSERT_NE(kept, nullptr);
                EXPECT_TRUE(std::equal(kept->bytes.begin(), kept->bytes.end(), data.bytes.begin(),
                                       data.bytes.end()));
            }
    }
}

// The temporary text file is still mapped while the update runs; Windows refuses
// to delete it until the view is released, and the platform layer does the same
// everywhere, so a removal in the wrong order leaves the file behind here too.
TEST_F(ResourceStore, EveryTextWriteRemovesTheTemporaryFile) {
    for (const char16_t* name : {u"SALT", u"FILENAME", u"HASH"}) {
        AddResource(exe_, true, u"value", name);
        EXPECT_FALSE(TempFileExists()) << rtl::Utf8Encode(name);
    }
}

// Two locks or unlocks at once share the temporary folder: the work file of one, there
// before the other starts, must be neither read, replaced nor removed by the other.
TEST_F(ResourceStore, AWorkFileOfAnotherRunIsLeftAlone) {
    const std::vector<uint8_t> other = {'O', 'T', 'H', 'E', 'R', '\r', '\n'};
    WriteAll(builder::TempResourcePath(), other);
    AddResource(exe_, true, u"mine", u"SALT");
    EXPECT_EQ(ResourceBytes(u"SALT"), std::vector<uint8_t>({'m', 'i', 'n', 'e', '\r', '\n'}));
    RunAsPackage();
    EXPECT_EQ(ReadText(u"SALT"), u"mine");
    ASSERT_TRUE(TempFileExists());
    EXPECT_EQ(ReadAll(builder::TempResourcePath()), other);
    EXPECT_FALSE(platform::FileExists(Path(u"tempresource (2).txt")));
}

TEST_F(ResourceStore, AddingAnExistingNameReplacesIt) {
    ASSERT_EQ(ResourceBytes(u"SALT"),
              std::vector<uint8_t>({'O', 'L', 'D', '-', 'S', 'A', 'L', 'T', '\r', '\n'}));
    AddResource(exe_, true, u"NEW", u"SALT");
    AddResource(exe_, true, u"NEWER", u"SALT");
    const std::vector<uint8_t> image = ReadAll(exe_);
    const pe::ResourceEditor editor(image);
    const auto& languages =
        editor.Resources().types.at(pe::kRtRcData).names.at(pe::ResourceId(u"SALT")).languages;
    EXPECT_EQ(languages.size(), 1u);
    RunAsPackage();
    EXPECT_EQ(ReadText(u"SALT"), u"NEWER");
}

TEST_F(ResourceStore, TextsOutsideTheCodePageKeepEveryCharacter) {
    const String name = u"\u041E\u0442\u0447\u0451\u0442 \u00E9t\u00E9.docx";
    AddResource(exe_, true, name, u"FILENAME");
    RunAsPackage();
    EXPECT_EQ(ReadText(u"FILENAME"), name);
}

TEST_F(ResourceStore, EmptyTextIsCrLfAndReadsBackEmpty) {
    AddResource(exe_, true, u"", u"FILENAME");
    EXPECT_EQ(ResourceBytes(u"FILENAME"), std::vector<uint8_t>({'\r', '\n'}));
    RunAsPackage();
    EXPECT_EQ(ReadText(u"FILENAME"), u"");
}

TEST_F(ResourceStore, TextReadStopsAtTheFirstLineBreak) {
    WriteAll(Path(u"two lines.txt"), {'o', 'n', 'e', '\n', 't', 'w', 'o'});
    AddResource(exe_, false, Path(u"two lines.txt"), u"FILENAME");
    RunAsPackage();
    EXPECT_EQ(ReadText(u"FILENAME"), u"one");
}

TEST_F(ResourceStore, EmptyTextResourceIsAListIndexErrorAndLeavesNoTempFile) {
    // Written with the PE editor: the system's resource update refuses empty data under Wine.
    const std::vector<uint8_t> image = ReadAll(exe_);
    pe::ResourceEditor editor(image);
    editor.Set(pe::kRtRcData, u"HASH", pe::kLangNeutral, std::span<const uint8_t>());
    WriteAll(exe_, editor.ToBytes());
    RunAsPackage();
    try {
        ReadText(u"HASH");
        FAIL() << "no exception";
    } catch (const rtl::EListError& e) {
        EXPECT_EQ(e.Message(), u"Index de liste hors limites (0)");
    }
    EXPECT_FALSE(TempFileExists());
}

TEST_F(ResourceStore, MissingResourceIsNamed) {
    RunAsPackage();
    String value = Path(u"never.bin");
    try {
        ReadResource(u"ENCRYPTEDFILE", false, value);
        FAIL() << "no exception";
    } catch (const rtl::EResNotFound& e) {
        EXPECT_EQ(e.Message(), u"Ressource ENCRYPTEDFILE non trouvée");
    }
    EXPECT_FALSE(platform::FileExists(value));
}

TEST_F(ResourceStore, OutputThatCannotBeCreatedIsAFileCreateError) {
    RunAsPackage();
    String value = Path(u"missing folder") + rtl::PathDelim + u"salt.bin";
    EXPECT_THROW(ReadResource(u"SALT", false, value), rtl::EFCreateError);
}

TEST_F(ResourceStore, UnreadableDataFailsBeforeTheUpdate) {
    const std::vector<uint8_t> before = ReadAll(exe_);
    try {
        AddResource(exe_, false, Path(u"no such payload"), u"ENCRYPTEDFILE");
        FAIL() << "no exception";
    } catch (const rtl::EFOpenError& e) {
        EXPECT_NE(e.Message().find(u"Impossible d'ouvrir le fichier \""), String::npos);
    }
    EXPECT_EQ(ReadAll(exe_), before);
}

// A resource's size is a signed 32-bit count: 2 GiB of data are refused before
// the update begins.
TEST_F(ResourceStore, DataOfTwoGigabytesIsRefusedBeforeTheUpdate) {
    builder_test::WriteSparse(Path(u"huge.bin"), INT64_C(1) << 31);
    const std::vector<uint8_t> before = ReadAll(exe_);
    try {
        AddResource(exe_, false, Path(u"huge.bin"), u"ENCRYPTEDFILE");
        FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(),
                  u"The file \"" + Path(u"huge.bin") +
                      u"\" is too large for a package: its size must stay below 2 GB.");
    }
    EXPECT_EQ(ReadAll(exe_), before);
}

TEST_F(ResourceStore, UpdateFailuresAreReportedAndLeaveTheTempFile) {
    struct Row {
        String exe;
        const char16_t* message;
    } rows[] = {
        {Path(u"missing.exe"), u"Could not open file for writing."},
        {Path(u"not a program.exe"), u"Could not open file for writing."},
    };
    WriteAll(Path(u"not a program.exe"), Pattern(4096, 3));
    for (const Row& row : rows) {
        try {
            AddResource(row.exe, true, u"value", u"SALT");
            FAIL() << "no exception";
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), row.message);
        }
        EXPECT_TRUE(TempFileExists());
    }
    EXPECT_EQ(ReadAll(Path(u"not a program.exe")), Pattern(4096, 3));
}

#ifdef _WIN32
TEST_F(ResourceStore, ReadsTheRunningProgramsOwnResources) {
    EXPECT_EQ(ReadText(u"OWNTEXT"), u"own value");
    EXPECT_FALSE(TempFileExists());
    String value;
    EXPECT_THROW(ReadResource(u"SALT", true, value), rtl::EResNotFound);
}
#endif

}  // namespace
