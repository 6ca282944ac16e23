// fixedpackage UNLOCKER TARGET PASSWORD OUTPUT: locks TARGET into OUTPUT around UNLOCKER with
// the package builder, its salt and IV fixed (fixed_random.cpp). Built natively and for
// Windows, so that packages made on both systems from the same inputs can be compared.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "builder/OrvCofrex.h"
#include "platform/File.h"
#include "platform/Resources.h"
#include "rtl/Stream.h"
#include "rtl/String.h"

namespace {

int MakePackage(const std::vector<rtl::String>& args) {
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: fixedpackage UNLOCKER TARGET PASSWORD OUTPUT\n");
        return 2;
    }
    try {
        rtl::TFileStream unlocker(args[0], rtl::fmOpenRead | rtl::fmShareDenyNone);
        std::vector<uint8_t> bytes(static_cast<size_t>(unlocker.Size()));
        unlocker.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        platform::MemoryResources carried;
        carried.Add(u"UNCOFREX", std::move(bytes));
        platform::SetRunningProgramResources(&carried);
        TCofrex(platform::TempFolder()).Execute(args[1], args[2], args[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fixedpackage: %s\n", error.what());
        return 1;
    }
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<rtl::String> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return MakePackage(args);
}
#else
int main(int argc, char** argv) {
    std::vector<rtl::String> args;
    for (int i = 1; i < argc; ++i) args.push_back(rtl::Str(argv[i]));
    return MakePackage(args);
}
#endif
