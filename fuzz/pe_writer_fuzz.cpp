// The resource writer on any image the reader accepts: edit as a lock does, write,
// read the result back and compare the whole resource tree with what was meant;
// then edit the written image again and compare once more. An edit may be refused
// (PeError, before anything is written); an image that is written reads back whole.
#include <cstdint>
#include <map>
#include <span>
#include <tuple>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "pe/error.h"
#include "pe/resource_editor.h"

namespace {

using Key = std::tuple<pe::ResourceId, pe::ResourceId, pe::ResourceId>;
struct Leaf {
    std::vector<uint8_t> bytes;
    uint32_t codePage = 0;
    bool operator==(const Leaf&) const = default;
};
using Resources = std::map<Key, Leaf>;

Resources Flatten(const pe::ResourceTree& tree) {
    Resources flat;
    for (const auto& [type, names] : tree.types)
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages)
                flat[{type, name, language}] = {{data.bytes.begin(), data.bytes.end()},
                                                data.codePage};
    return flat;
}

void SetRcData(pe::ResourceEditor& editor, Resources& expected, const char16_t* name,
               std::span<const uint8_t> bytes) {
    editor.Set(pe::kRtRcData, name, pe::kLangNeutral, bytes);
    expected[{pe::kRtRcData, name, pe::kLangNeutral}] = {{bytes.begin(), bytes.end()}, 0};
}

// Writes the edited image and checks that it reads back with exactly `expected`.
std::vector<uint8_t> WriteAndCompare(const pe::ResourceEditor& editor, const Resources& expected) {
    std::vector<uint8_t> written = editor.ToBytes();
    try {
        const pe::ResourceEditor reread(written);
        fuzz::Check(Flatten(reread.Resources()) == expected,
                    "the written image reads back with other resources");
    } catch (const pe::PeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        fuzz::Check(false, "the written image does not read back");
    }
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    std::vector<uint8_t> first;
    Resources expected;
    try {
        pe::ResourceEditor editor(input);
        expected = Flatten(editor.Resources());
        // A resource of the image goes when the size says so, as an edit that shrinks it.
        if (size % 3 == 0 && !expected.empty()) {
            const auto [type, name, language] = expected.begin()->first;
            fuzz::Check(editor.Remove(type, name, language), "an existing resource not removed");
            expected.erase(expected.begin());
        }
        SetRcData(editor, expected, u"ENCRYPTEDFILE", input.first(size % 509));
        SetRcData(editor, expected, u"SALT", input.last(std::min<size_t>(size, 66)));
        first = WriteAndCompare(editor, expected);
    } catch (const pe::PeError&) {
        return 0;  // refused before writing: an image or an edit this writer cannot take
    }
    try {
        pe::ResourceEditor again(first);
        static const uint8_t name[] = "report.pdf\r\n";
        SetRcData(again, expected, u"FILENAME", name);
        SetRcData(again, expected, u"ENCRYPTEDFILE", input.first(size % 17));
        WriteAndCompare(again, expected);
    } catch (const pe::PeError&) {
        // Refused before writing: a hostile image can point a directory of its own into
        // the room the grown resource section took, so the next edit must append a
        // section, and its headers may have no room for one.
    }
    return 0;
}
