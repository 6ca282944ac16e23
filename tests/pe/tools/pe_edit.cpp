// Test tool for the cross-checks: edits the RT_RCDATA resources (language 0) of an image with
// pe/ and writes the result, patched as the resource update patches a file when it can.
// Usage: pe_edit <input> <output> [NAME=datafile | -NAME]...
#include <cstdio>
#include <deque>
#include <fstream>
#include <string>

#include "pe/error.h"
#include "pe/resource_editor.h"
#include "tests/pe/test_support.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pe_edit <input> <output> [NAME=datafile | -NAME]...\n");
        return 2;
    }
    try {
        const std::vector<uint8_t> image = pe_test::ReadFile(argv[1]);
        pe::ResourceEditor editor(image);
        std::deque<std::vector<uint8_t>> data;
        for (int i = 3; i < argc; ++i) {
            const std::string arg = argv[i];
            const size_t eq = arg.find('=');
            const std::string name = arg[0] == '-' ? arg.substr(1) : arg.substr(0, eq);
            const std::u16string wide(name.begin(), name.end());
            if (arg[0] == '-') {
                editor.Remove(pe::kRtRcData, wide, pe::kLangNeutral);
            } else {
                data.push_back(pe_test::ReadFile(arg.substr(eq + 1)));
                editor.Set(pe::kRtRcData, wide, pe::kLangNeutral, data.back());
            }
        }
        pe_test::WriteFile(argv[2], pe_test::Edited(editor, image));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pe_edit: %s\n", e.what());
        return 1;
    }
    return 0;
}
