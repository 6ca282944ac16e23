// One lock, as the locker's window runs it, for whole-process timings (bench/whole_process.py):
//   lock_driver <unlocker.exe> <target> <package.exe> <unlocker folder>
// The unlocker executable stands for the one the locker carries as its resource UNCOFREX.
#include <cstdio>
#include <exception>
#include <vector>

#include "builder/OrvCofrex.h"
#include "platform/MappedFile.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"
#include "rtl/String.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: lock_driver <unlocker.exe> <target> <package.exe> <folder>\n");
        return 2;
    }
    platform::MappedFile unlocker;
    if (!unlocker.Open(rtl::Str(argv[1]))) {
        std::fprintf(stderr, "lock_driver: cannot read %s\n", argv[1]);
        return 1;
    }
    platform::MemoryResources embedded;
    const auto bytes = unlocker.Bytes();
    embedded.Add(u"UNCOFREX", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    platform::SetRunningProgramResources(&embedded);
    try {
        TCofrex builder(rtl::Str(argv[4]));
        builder.Execute(rtl::Str(argv[2]), u"correct horse battery staple", rtl::Str(argv[3]));
    } catch (const rtl::Exception& e) {
        std::fprintf(stderr, "lock_driver: %s\n", rtl::Utf8Encode(e.Message()).c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lock_driver: %s\n", e.what());
        return 1;
    }
    return 0;
}
