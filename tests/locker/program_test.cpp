// What the build put into Cofrex.exe: the unlocker it built, as RT_RCDATA UNCOFREX in
// French (France), the pictures, the icon, the manifest and the version.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "pe/resource_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr uint16_t kFrenchFrance = 1036;

class Program : public testing::Test {
protected:
    const pe::ResourceData* Find(const pe::ResourceId& type, const pe::ResourceId& name,
                                 uint16_t language = pe::kLangNeutral) const {
        return editor_.Find(type, name, language);
    }
    static Bytes Copy(const pe::ResourceData* data) {
        return data ? Bytes(data->bytes.begin(), data->bytes.end()) : Bytes();
    }

    const Bytes locker_ = ReadAll(COFREX_LOCKER_EXE);
    const pe::ResourceEditor editor_{locker_};
};

TEST_F(Program, CarriesTheUnlockerOfThisBuildInFrench) {
    const pe::ResourceData* unlocker = Find(pe::kRtRcData, u"UNCOFREX", kFrenchFrance);
    ASSERT_NE(unlocker, nullptr);
    EXPECT_EQ(Copy(unlocker), ReadAll(COFREX_UNLOCKER_EXE));
    EXPECT_EQ(Find(pe::kRtRcData, u"UNCOFREX", pe::kLangNeutral), nullptr);
}

TEST_F(Program, CarriesEveryPictureAtBothSizes) {
    const std::pair<const char16_t*, const char*> pictures[] = {
        {u"LOCK_BUTTON", "lock_button"},
        {u"CHECK", "check"},
        {u"CROSS", "cross"},
        {u"MAKER_LOGO", "maker_logo"},
        {u"DISTRIBUTOR_LOGO", "distributor_logo"}};
    const std::string art = COFREX_ART_DIR "/";
    for (const auto& [name, file] : pictures) {
        EXPECT_EQ(Copy(Find(pe::kRtRcData, name)), ReadAll(art + file + ".png")) << file;
        EXPECT_EQ(Copy(Find(pe::kRtRcData, std::u16string(name) + u"_2X")),
                  ReadAll(art + file + "@2x.png"))
            << file;
    }
}

TEST_F(Program, HasItsIconManifestAndVersion) {
    EXPECT_NE(editor_.Find(pe::kRtGroupIcon, u"MAINICON"), nullptr);
    EXPECT_NE(editor_.Find(pe::kRtVersion, 1), nullptr);
    const pe::ResourceData* manifest = editor_.Find(pe::kRtManifest, 1);
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest->bytes.begin(), manifest->bytes.end());
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
}

}  // namespace
