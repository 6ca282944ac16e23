#include "pe/version_info.h"

#include <gtest/gtest.h>

#include "pe/resource_editor.h"
#include "tests/pe/test_support.h"

namespace {

TEST(FileVersion, IsReadFromTheFixedPartOfTheVersionInformation) {
    const std::vector<uint8_t> image = pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    EXPECT_EQ(pe::FileVersion(pe::ResourceEditor(image).Resources()), "1.2.3.4");
}

TEST(FileVersion, IsAbsentWithoutVersionInformationOrWithoutItsFixedPart) {
    const std::vector<uint8_t> image = pe_test::ReadFile(pe_test::FixturePath("resprobe.exe"));
    pe::ResourceEditor editor(image);
    const auto& versions = editor.Resources().types.at(pe::kRtVersion).names;
    const pe::ResourceId name = versions.begin()->first;
    const pe::ResourceId language = versions.begin()->second.languages.begin()->first;

    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {"too short for the fixed part", std::vector<uint8_t>(40, 0)},
        {"no fixed-part signature", std::vector<uint8_t>(92, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pe::ResourceEditor changed(image);
        changed.Set(pe::kRtVersion, name, language, c.data);
        const std::vector<uint8_t> edited = changed.ToBytes();
        EXPECT_EQ(pe::FileVersion(pe::ResourceEditor(edited).Resources()), std::nullopt);
    }
    ASSERT_TRUE(editor.Remove(pe::kRtVersion, name, language));
    const std::vector<uint8_t> without = editor.ToBytes();
    EXPECT_EQ(pe::FileVersion(pe::ResourceEditor(without).Resources()), std::nullopt);
}

}  // namespace
