// makepackage UNLOCKER TARGET PASSWORD OUTPUT: locks TARGET into the package OUTPUT with the
// package builder, UNLOCKER standing in for the unlocker the locker carries. A console
// fixture of the end-to-end tests, so that they unlock packages made the real way.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "builder/OrvCofrex.h"
#include "platform/File.h"
#include "platform/Resources.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: makepackage UNLOCKER TARGET PASSWORD OUTPUT\n");
        return 2;
    }
    const auto arg = [&](int i) { return rtl::String(reinterpret_cast<const char16_t*>(argv[i])); };
    try {
        rtl::TFileStream unlocker(arg(1), rtl::fmOpenRead | rtl::fmShareDenyNone);
        std::vector<uint8_t> bytes(static_cast<size_t>(unlocker.Size()));
        unlocker.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        platform::MemoryResources carried;
        carried.Add(u"UNCOFREX", std::move(bytes));
        platform::SetRunningProgramResources(&carried);
        TCofrex(platform::TempFolder()).Execute(arg(2), arg(3), arg(4));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "makepackage: %s\n", error.what());
        return 1;
    }
    return 0;
}
