#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "builder/OrvCofrex.h"
#include "builder/ResourceStore.h"
#include "crypto/AESObj.h"
#include "crypto/HashObj.h"
#include "crypto/core/sha2.h"
#include "pe/resource_editor.h"
#include "platform/Resources.h"
#include "rtl/CodePage.h"
#include "rtl/Exception.h"
#include "support.h"

namespace {

using builder_test::Pattern;
using builder_test::ReadAll;
using builder_test::WriteAll;
using rtl::String;
using Bytes = std::vector<uint8_t>;

// A package as the unlocker sees it: its four resources.
struct Package {
    Bytes encrypted;
    String salt, name, check;
};

class Lock : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        for (const char16_t* folder : {u"in", u"appdata", u"out"})
            std::filesystem::create_directories(std::filesystem::path(Path(folder)));
        unlocker_ = ReadAll(builder_test::FixtureExe());
        embedded_.Add(u"UNCOFREX", unlocker_);
        platform::SetRunningProgramResources(&embedded_);
        builder_ = std::make_unique<TCofrex>(Path(u"appdata"));
    }
    void TearDown() override {
        builder_.reset();
        platform::SetRunningProgramResources(nullptr);
        ScratchFolder::TearDown();
    }
    String In(const String& name) { return Path(u"in") + rtl::PathDelim + name; }
    String Out(const String& name) { return Path(u"out") + rtl::PathDelim + name; }
    String UnlockerCopy() { return Path(u"appdata") + rtl::PathDelim + u"UnCofrex.exe"; }

    Package Open(const String& package) {
        const Bytes image = ReadAll(package);
        const pe::ResourceEditor editor(image);
        const auto resource = [&](const char16_t* name) {
            const pe::ResourceData* data = editor.Find(pe::kRtRcData, name, pe::kLangNeutral);
            EXPECT_NE(data, nullptr) << "missing resource";
            return data ? Bytes(data->bytes.begin(), data->bytes.end()) : Bytes();
        };
        const auto text = [&](const char16_t* name) {
            const Bytes bytes = resource(name);
            EXPECT_GE(bytes.size(), 2u);
            EXPECT_EQ(bytes.size() >= 2 ? bytes[bytes.size() - 2] : 0, '\r');
            return rtl::Cp1252Decode(
                std::string(bytes.begin(), bytes.end() - std::min<size_t>(2, bytes.size())));
        };
        return {resource(u"ENCRYPTEDFILE"), text(u"SALT"), text(u"FILENAME"), text(u"HASH")};
    }
    // Unlocks as the unlocker does: key from password and salt, then AES-256-CBC.
    static Bytes Decrypt(const Package& package, const String& password) {
        TArgon2KeyDerivation argon;
        argon.SetOutputSizeBytes(32);
        argon.SetOutputFormat(TConvertType::raw);
        argon.SetStringSalt(package.salt);
        TAESEncryption aes;
        aes.SetKeyLength(TAESKeyLength::kl256);
        aes.SetKey(argon.GenerateKey(password));
        rtl::TMemoryStream in(package.encrypted), out;
        aes.DecryptStream(in, out);
        return out.Bytes();
    }
    static String CheckValue(const String& password, const String& salt) {
        return TSHA2Hash(256, TConvertType::base64, TUnicode::yesUni).Hash(password + salt);
    }

    Bytes unlocker_;
    platform::MemoryResources embedded_;
    std::unique_ptr<TCofrex> builder_;
};

TEST_F(Lock, PackageCarriesTheFourResourcesAndUnlocks) {
    const Bytes content = Pattern(123'457, 1);
    WriteAll(In(u"Q3 report.xlsx"), content);
    builder_->Execute(In(u"Q3 report.xlsx"), u"correct horse", Out(u"Q3 report_encrypted.exe"));

    const Package package = Open(Out(u"Q3 report_encrypted.exe"));
    EXPECT_EQ(package.name, u"Q3 report.xlsx");
    ASSERT_EQ(package.salt.size(), 64u);
    EXPECT_EQ(package.salt.find_first_not_of(u"0123456789ABCDEF"), String::npos);
    EXPECT_EQ(package.check.size(), 44u);
    EXPECT_EQ(package.check, CheckValue(u"correct horse", package.salt));
    EXPECT_EQ(package.encrypted.size(), 16u + (content.size() / 16 + 1) * 16);
    EXPECT_EQ(Decrypt(package, u"correct horse"), content);

    // The unlocker's own resources are untouched; the unlocker copy is the package.
    const Bytes image = ReadAll(Out(u"Q3 report_encrypted.exe"));
    const pe::ResourceEditor edited(image), original(unlocker_);
    for (const auto& [type, names] : original.Resources().types)
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages) {
                if (type == pe::ResourceId(pe::kRtRcData) && name == pe::ResourceId(u"SALT"))
                    continue;
                const pe::ResourceData* kept = edited.Find(type, name, language);
                ASSERT_NE(kept, nullptr);
                EXPECT_TRUE(std::ranges::equal(kept->bytes, data.bytes));
            }
    EXPECT_EQ(ReadAll(UnlockerCopy()), image);

    // Nothing else is left behind.
    EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));
    EXPECT_FALSE(platform::FileExists(Out(u"UnCofrex.exe")));
    EXPECT_FALSE(platform::FileExists(builder::TempResourcePath()));
    EXPECT_EQ(ReadAll(In(u"Q3 report.xlsx")), content);
}

TEST_F(Lock, TwoLocksOfTheSameFileDifferAndBothUnlock) {
    WriteAll(In(u"a.bin"), Pattern(5000, 2));
    builder_->Execute(In(u"a.bin"), u"pw", Out(u"one.exe"));
    builder_->Execute(In(u"a.bin"), u"pw", Out(u"two.exe"));
    const Package one = Open(Out(u"one.exe")), two = Open(Out(u"two.exe"));
    EXPECT_NE(one.salt, two.salt);
    EXPECT_NE(one.check, two.check);
    EXPECT_NE(one.encrypted, two.encrypted);
    EXPECT_EQ(Decrypt(one, u"pw"), Pattern(5000, 2));
    EXPECT_EQ(Decrypt(two, u"pw"), Pattern(5000, 2));
}

TEST_F(Lock, EmptyTargetGivesThirtyTwoBytes) {
    WriteAll(In(u"empty.txt"), {});
    builder_->Execute(In(u"empty.txt"), u"pw", Out(u"empty.exe"));
    const Package package = Open(Out(u"empty.exe"));
    EXPECT_EQ(package.encrypted.size(), 32u);
    EXPECT_TRUE(Decrypt(package, u"pw").empty());
}

TEST_F(Lock, NonAsciiPasswordContributesItsUtf8Bytes) {
    const String password = u"m\u00F6t d\u00E9 p\u00E4ss\u20AC \u0416";
    WriteAll(In(u"x.txt"), Pattern(100, 3));
    builder_->Execute(In(u"x.txt"), password, Out(u"x.exe"));
    const Package package = Open(Out(u"x.exe"));
    const std::string message = rtl::Utf8Encode(password) + rtl::Utf8Encode(package.salt);
    uint8_t digest[32];
    ASSERT_EQ(core::Sha2Digest(reinterpret_cast<const uint8_t*>(message.data()),
                               static_cast<uint32_t>(message.size()), 256, digest),
              0);
    TConvert base64(TConvertType::base64);
    EXPECT_EQ(package.check, base64.CharToFormat(digest, 32));
    EXPECT_EQ(Decrypt(package, password), Pattern(100, 3));
}

TEST_F(Lock, OnChangeFiresOncePerNewValue) {
    std::vector<int32_t> seen;
    builder_->SetOnChange([&](rtl::TObject* sender) {
        EXPECT_EQ(sender, builder_.get());
        seen.push_back(builder_->Progress());
    });
    WriteAll(In(u"big.bin"), Pattern(1'000'000, 4));
    builder_->Execute(In(u"big.bin"), u"pw", Out(u"1.exe"));
    EXPECT_EQ(seen, std::vector<int32_t>({16, 32, 48, 64, 80, 96, 100}));
    seen.clear();
    builder_->Execute(In(u"big.bin"), u"pw", Out(u"2.exe"));
    EXPECT_EQ(seen, std::vector<int32_t>({0, 16, 32, 48, 64, 80, 96, 100}));
    seen.clear();
    builder_->SetProgress(100);
    EXPECT_TRUE(seen.empty());
}

TEST_F(Lock, UnreadableTargetLeavesNothing) {
    EXPECT_THROW(builder_->Execute(In(u"missing.txt"), u"pw", Out(u"m.exe")), rtl::EFOpenError);
    EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));
    EXPECT_FALSE(platform::FileExists(UnlockerCopy()));
    EXPECT_FALSE(platform::FileExists(Out(u"m.exe")));
}

TEST_F(Lock, UnwritableUnlockerFolderRemovesTheWorkFile) {
    WriteAll(In(u"t.txt"), Pattern(10, 5));
    TCofrex builder(Path(u"no such folder"));
    EXPECT_THROW(builder.Execute(In(u"t.txt"), u"pw", Out(u"t.exe")), rtl::EFCreateError);
    EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));
    EXPECT_FALSE(platform::FileExists(Out(u"t.exe")));
    EXPECT_EQ(ReadAll(In(u"t.txt")), Pattern(10, 5));
}

TEST_F(Lock, ExistingOutputIsNeverReplaced) {
    WriteAll(In(u"t.txt"), Pattern(10, 6));
    WriteAll(Out(u"taken.exe"), Pattern(77, 7));
    try {
        builder_->Execute(In(u"t.txt"), u"pw", Out(u"taken.exe"));
        FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), u"The package could not be saved as \"" + Out(u"taken.exe") +
                                   u"\". A file of that name already exists.");
    }
    EXPECT_EQ(ReadAll(Out(u"taken.exe")), Pattern(77, 7));
    EXPECT_FALSE(platform::FileExists(Out(u"UnCofrex.exe")));
    EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));
}

TEST_F(Lock, OutputInTheUnlockerFolderKeepsBothFiles) {
    WriteAll(In(u"t.txt"), Pattern(10, 8));
    const String output = Path(u"appdata") + rtl::PathDelim + u"t_encrypted.exe";
    builder_->Execute(In(u"t.txt"), u"pw", output);
    EXPECT_EQ(Decrypt(Open(output), u"pw"), Pattern(10, 8));
    EXPECT_EQ(ReadAll(UnlockerCopy()), ReadAll(output));
    EXPECT_FALSE(platform::FileExists(Path(u"appdata") + rtl::PathDelim + u"UnCofrex (2).exe"));
}

TEST_F(Lock, UsersFilesWithTheFixedNamesAreLeftAlone) {
    WriteAll(In(u"t.txt"), Pattern(10, 9));
    WriteAll(In(u"resource.txt"), Pattern(11, 10));
    WriteAll(Out(u"UnCofrex.exe"), Pattern(12, 11));
    builder_->Execute(In(u"t.txt"), u"pw", Out(u"t.exe"));
    EXPECT_EQ(Decrypt(Open(Out(u"t.exe")), u"pw"), Pattern(10, 9));
    EXPECT_EQ(ReadAll(In(u"resource.txt")), Pattern(11, 10));
    EXPECT_EQ(ReadAll(Out(u"UnCofrex.exe")), Pattern(12, 11));
    EXPECT_FALSE(platform::FileExists(In(u"resource (2).txt")));
    EXPECT_FALSE(platform::FileExists(Out(u"UnCofrex (2).exe")));
}

TEST_F(Lock, TargetNamedLikeTheWorkFileIsLockedAndKept) {
    WriteAll(In(u"resource.txt"), Pattern(300, 12));
    builder_->Execute(In(u"resource.txt"), u"pw", Out(u"r.exe"));
    const Package package = Open(Out(u"r.exe"));
    EXPECT_EQ(package.name, u"resource.txt");
    EXPECT_EQ(Decrypt(package, u"pw"), Pattern(300, 12));
    EXPECT_EQ(ReadAll(In(u"resource.txt")), Pattern(300, 12));
}

// Nothing of a refused lock stays behind: no package, work file or unlocker copy.
#define EXPECT_NOTHING_WRITTEN(output)                            \
    do {                                                          \
        EXPECT_FALSE(platform::FileExists(output));               \
        EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));  \
        EXPECT_FALSE(platform::FileExists(Out(u"UnCofrex.exe"))); \
    } while (false)

TEST_F(Lock, WorkFileThatCannotBeCreatedGivesTheEncryptionsMessage) {
    WriteAll(In(u"t.txt"), Pattern(10, 13));
    std::filesystem::create_directories(std::filesystem::path(In(u"resource.txt")));
    try {
        builder_->Execute(In(u"t.txt"), u"pw", Out(u"t.exe"));
        FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), u"Unable to create the file");
    }
    EXPECT_FALSE(platform::FileExists(Out(u"t.exe")));
    EXPECT_FALSE(platform::FileExists(UnlockerCopy()));
}

// Whichever step on the way to the output folder fails, the message names the
// output file, not the intermediate copy.
TEST_F(Lock, OutputFolderThatCannotBeWrittenNamesTheOutputFile) {
    WriteAll(In(u"t.txt"), Pattern(10, 14));
    std::filesystem::create_directories(std::filesystem::path(Out(u"UnCofrex.exe")));
    for (const String& output :
         {Path(u"no such folder") + rtl::PathDelim + u"t.exe", Out(u"t.exe")}) {
        try {
            builder_->Execute(In(u"t.txt"), u"pw", output);
            FAIL() << "no exception";
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(
                e.Message().rfind(u"The package could not be saved as \"" + output + u"\". ", 0),
                0u)
                << rtl::Utf8Encode(e.Message());
        }
        EXPECT_FALSE(platform::FileExists(output));
        EXPECT_FALSE(platform::FileExists(In(u"resource.txt")));
    }
}

// The lock replaces the unlocker copy before it writes the package: a target that
// is that copy would be lost, and an output named like it would collide with it.
TEST_F(Lock, TargetOrOutputThatIsTheUnlockerCopyIsRefused) {
    const String viaOut = Path(u"out") + rtl::PathDelim + u".." + rtl::PathDelim + u"appdata" +
                          rtl::PathDelim + u"UnCofrex.exe";
    // Before any lock the copy does not exist yet; the output would still be it.
    for (const String& output : {UnlockerCopy(), viaOut}) {
        WriteAll(In(u"t.txt"), Pattern(10, 15));
        try {
            builder_->Execute(In(u"t.txt"), u"pw", output);
            FAIL() << "no exception";
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), u"The package cannot be saved as \"" + output +
                                       u"\": the lock prepares its unlocker copy there.");
        }
        EXPECT_FALSE(platform::FileExists(UnlockerCopy()));
        EXPECT_NOTHING_WRITTEN(Out(u"never.exe"));
    }

    builder_->Execute(In(u"t.txt"), u"pw", Out(u"first.exe"));
    const Bytes copy = ReadAll(UnlockerCopy());
    std::filesystem::create_hard_link(std::filesystem::path(UnlockerCopy()),
                                      std::filesystem::path(In(u"linked.exe")));
    for (const String& target : {UnlockerCopy(), In(u"linked.exe")}) {
        try {
            builder_->Execute(target, u"pw", Out(u"second.exe"));
            FAIL() << "no exception";
        } catch (const rtl::Exception& e) {
            EXPECT_EQ(e.Message(), u"The file \"" + target +
                                       u"\" is the unlocker copy that every lock replaces: it "
                                       u"cannot be locked.");
        }
        EXPECT_EQ(ReadAll(UnlockerCopy()), copy);
        EXPECT_NOTHING_WRITTEN(Out(u"second.exe"));
    }
    try {
        builder_->Execute(In(u"t.txt"), u"pw", UnlockerCopy());
        FAIL() << "no exception";
    } catch (const rtl::Exception&) {
    }
    EXPECT_EQ(ReadAll(UnlockerCopy()), copy);
}

// A target whose package data would reach 2 GiB is refused before anything is
// written; the file is sparse, so its size costs nothing.
TEST_F(Lock, TargetOfTwoGigabytesIsRefusedBeforeAnythingIsWritten) {
    // 16 bytes of IV and the padded data reach 2^31 from this size on.
    builder_test::WriteSparse(In(u"huge.bin"), (INT64_C(1) << 31) - 32);
    try {
        builder_->Execute(In(u"huge.bin"), u"pw", Out(u"huge.exe"));
        FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(),
                  u"The file \"" + In(u"huge.bin") +
                      u"\" is too large to be locked: a package holds files below 2 GB.");
    }
    EXPECT_FALSE(platform::FileExists(UnlockerCopy()));
    EXPECT_NOTHING_WRITTEN(Out(u"huge.exe"));
}

// A builder whose third resource write fails as a full disk would make it fail.
class ThirdWriteFails : public TCofrex {
public:
    using TCofrex::TCofrex;
    std::vector<String> written;

protected:
    void AddResource(const String& exePath, bool fromText, const String& value,
                     const String& resName) override {
        if (written.size() == 2) throw rtl::Exception(u"Could not write changes to file.");
        TCofrex::AddResource(exePath, fromText, value, resName);
        written.push_back(resName);
    }
};

// The resources are written one update at a time, in a fixed order: after a
// failure of the third, the unlocker copy holds the first two and no more.
TEST_F(Lock, ResourcesAreWrittenInOrderAndAFailureStopsThere) {
    WriteAll(In(u"t.txt"), Pattern(10, 16));
    ThirdWriteFails builder(Path(u"appdata"));
    try {
        builder.Execute(In(u"t.txt"), u"pw", Out(u"t.exe"));
        FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
        EXPECT_EQ(e.Message(), u"Could not write changes to file.");
    }
    EXPECT_EQ(builder.written, std::vector<String>({u"ENCRYPTEDFILE", u"SALT"}));
    const Bytes image = ReadAll(UnlockerCopy());
    const pe::ResourceEditor copy(image);
    const auto size = [&](const char16_t* name) {
        const pe::ResourceData* data = copy.Find(pe::kRtRcData, name, pe::kLangNeutral);
        return data ? data->bytes.size() : 0u;
    };
    EXPECT_EQ(size(u"ENCRYPTEDFILE"), 32u);
    EXPECT_EQ(size(u"SALT"), 66u);  // the fixture's own SALT is shorter
    EXPECT_EQ(copy.Find(pe::kRtRcData, u"FILENAME", pe::kLangNeutral), nullptr);
    EXPECT_EQ(copy.Find(pe::kRtRcData, u"HASH", pe::kLangNeutral), nullptr);
    EXPECT_NOTHING_WRITTEN(Out(u"t.exe"));
}

TEST(TCofrexSetup, VersionAndUnlockerFolder) {
    TCofrex fromPath(u"somewhere");
    EXPECT_EQ(fromPath.UnCofrexExePath(), u"somewhere");
    EXPECT_EQ(fromPath.Version(), u"3.3.0.0");
    EXPECT_EQ(fromPath.Progress(), 0);
    TCofrex roaming;
    EXPECT_EQ(roaming.UnCofrexExePath(), platform::AppDataFolder());
    rtl::TComponent owner;
    auto* owned = new TCofrex(&owner);
    EXPECT_EQ(owner.Components(0), owned);
}

}  // namespace
