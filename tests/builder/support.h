#pragma once
// Shared fixture of the builder tests: a scratch folder that is also the
// temporary folder, and file helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/File.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"
#include "tests/support/scratch_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace builder_test {

inline rtl::String NativePath(std::string path) {
#ifdef _WIN32
    for (char& c : path)
        if (c == '/') c = '\\';
#endif
    return rtl::Str(path);
}

#ifdef COFREX_FIXTURE_EXE
// The fixture executable: a real Windows program with its own resources.
inline rtl::String FixtureExe() {
    return NativePath(COFREX_FIXTURE_EXE);
}
#endif

inline std::vector<uint8_t> ReadAll(const rtl::String& path) {
    rtl::TFileStream in(path, rtl::fmOpenRead | rtl::fmShareDenyNone);
    std::vector<uint8_t> bytes(static_cast<size_t>(in.Size()));
    in.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

inline void WriteAll(const rtl::String& path, const std::vector<uint8_t>& bytes) {
    rtl::TFileStream out(path, rtl::fmCreate);
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// A file of `size` bytes that holds no data blocks: large sizes cost nothing.
inline void WriteSparse(const rtl::String& path, int64_t size) {
    rtl::TFileStream(path, rtl::fmCreate).SetSize(size);
}

inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

// A scratch folder that the system also reports as the temporary folder.
class ScratchFolder : public test_support::ScratchFolder {
protected:
    void SetUp() override {
        test_support::ScratchFolder::SetUp();
        SetTempFolder(folder_);
    }
    void TearDown() override {
        SetTempFolder(u"");
        test_support::ScratchFolder::TearDown();
    }

private:
    static void SetTempFolder(const rtl::String& folder) {
#ifdef _WIN32
        SetEnvironmentVariableW(
            L"TMP", folder.empty() ? nullptr : reinterpret_cast<const wchar_t*>(folder.c_str()));
#else
        if (folder.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", rtl::Utf8Encode(folder).c_str(), 1);
#endif
    }
};

}  // namespace builder_test
