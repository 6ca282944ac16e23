// Makes the seeds of the unlock targets: small files locked with the targets' password
// by the builder, each package's four resources joined as the unlock target reads them
// and, for the command-line target, the package files themselves.
// Usage: make_unlock_seeds <any PE image to serve as the unlocker> <output folder>
//                          [<output folder for the packages>]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "builder/OrvCofrex.h"
#include "fuzz/unlock_support.h"
#include "pe/resource_editor.h"
#include "platform/Resources.h"
#include "rtl/Exception.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

struct Seed {
    const char* name;  // of the seed and of the locked file
    size_t size;
    uint8_t flags;
};

const Seed kSeeds[] = {
    {"notes.txt", 100, 0},
    {"empty.bin", 0, fuzz::kExistingFile},
    {"one block.dat", 16, fuzz::kOpenAfterwards},
    {"Caf\xC3\xA9.pdf", 700, fuzz::kRightHash | fuzz::kExistingFile},
};

// Locks a file of `seed.size` bytes in `work` into the package `work`/package.exe.
Bytes LockedPackage(const Seed& seed, const fs::path& work) {
    const fs::path file = work / fs::u8path(seed.name);
    Bytes content(seed.size);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7 + 1);
    WriteAll(file, content);
    const fs::path package = work / "package.exe";
    fs::remove(package);
    TCofrex(work.u16string()).Execute(file.u16string(), fuzz::kUnlockPassword, package.u16string());
    return ReadAll(package);
}

// The package's resources joined as the unlock target's input.
Bytes JoinedResources(const Seed& seed, const Bytes& image) {
    const pe::ResourceEditor editor(image);
    auto resource = [&editor](const char16_t* name) {
        return editor.Find(pe::kRtRcData, name, pe::kLangNeutral)->bytes;
    };
    return fuzz::JoinUnlockInput({seed.flags, resource(u"SALT"), resource(u"HASH"),
                                  resource(u"FILENAME"), resource(u"ENCRYPTEDFILE")});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: make_unlock_seeds <pe image> <output folder> [<package folder>]\n");
        return 2;
    }
    platform::MemoryResources locker;
    locker.Add(u"UNCOFREX", ReadAll(argv[1]));
    platform::SetRunningProgramResources(&locker);
    const fs::path work = fs::temp_directory_path() / "cofrex-unlock-seeds";
    fs::create_directories(work);
    for (int i = 2; i < argc; ++i) fs::create_directories(argv[i]);
    try {
        for (const Seed& seed : kSeeds) {
            const Bytes package = LockedPackage(seed, work);
            WriteAll(fs::path(argv[2]) / fs::u8path(seed.name), JoinedResources(seed, package));
            if (argc == 4) WriteAll(fs::path(argv[3]) / (std::string(seed.name) + ".exe"), package);
        }
    } catch (const rtl::Exception& e) {
        std::fprintf(stderr, "%s\n", rtl::Utf8Encode(e.Message()).c_str());
        return 1;
    }
    fs::remove_all(work);
    return 0;
}
