#pragma once
// Shared helpers of the pe/ tests: the fixture programs and whole-file I/O.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "pe/resource_editor.h"

namespace pe_test {

#ifdef PE_FIXTURE_DIR
inline std::string FixturePath(const std::string& name) {
    return std::string(PE_FIXTURE_DIR) + "/" + name;
}
#endif

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

inline std::string Narrow(const std::u16string& text) {
    return {text.begin(), text.end()};
}

inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out[i] = static_cast<uint8_t>(seed >> 24);
    }
    return out;
}

// The edited image as the resource update writes it: patched where it lies when it can be,
// else rewritten whole.
inline std::vector<uint8_t> Edited(const pe::ResourceEditor& editor,
                                   const std::vector<uint8_t>& image) {
    std::optional<pe::ImagePatch> patch = editor.PlanInPlace();
    if (!patch) return editor.ToBytes();
    std::vector<uint8_t> out = image;
    patch->ApplyTo(out);
    return out;
}

// One update cycle as the package builder does it: parse, set one RT_RCDATA resource of
// language 0, write the change.
inline std::vector<uint8_t> AddRcData(const std::vector<uint8_t>& image, const std::u16string& name,
                                      const std::vector<uint8_t>& data) {
    pe::ResourceEditor editor(image);
    editor.Set(pe::kRtRcData, name, pe::kLangNeutral, data);
    return Edited(editor, image);
}

}  // namespace pe_test
