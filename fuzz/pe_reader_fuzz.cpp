// The PE image reader and the resource directory walker on any bytes: either a
// PeError, or headers and a tree whose every data view lies inside the file.
#include <cstdint>
#include <span>

#include "fuzz/fuzz_support.h"
#include "pe/error.h"
#include "pe/image.h"
#include "pe/resource_tree.h"

namespace {

void CheckTree(const pe::ResourceTree& tree, std::span<const uint8_t> file) {
    volatile uint8_t sink = 0;
    for (const auto& [type, names] : tree.types) {
        for (const auto& [name, languages] : names.names) {
            for (const auto& [language, data] : languages.languages) {
                const uint8_t* begin = data.bytes.data();
                fuzz::Check(data.bytes.empty() ||
                                (begin >= file.data() &&
                                 data.bytes.size() <= size_t(file.data() + file.size() - begin)),
                            "resource data outside the file");
                for (uint8_t byte : data.bytes) sink = sink ^ byte;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    try {
        const pe::PeImage image(file);
        for (uint32_t index = 0; index < 16; ++index) {
            const pe::DataDirectory directory = image.Directory(index);
            const auto offset = image.RvaToOffset(directory.virtualAddress, directory.size);
            // An empty range may map into an empty section, wherever its data pointer is.
            if (offset && directory.size > 0)
                fuzz::Check(*offset + directory.size <= size, "a directory mapped past the file");
        }
        fuzz::Check(image.EndOfSectionData() <= size, "section data past the file");
        CheckTree(pe::ReadResourceTree(image), file);
    } catch (const pe::PeError&) {
    }
    return 0;
}
