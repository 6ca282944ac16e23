// A whole lock of a 256 MiB file against copying it with cp and encrypting it
// with openssl enc, measured in the same run, and the lock's parts on their own.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/OrvCofrex.h"
#include "builder/ResourceStore.h"
#include "crypto/AESObj.h"
#include "platform/File.h"
#include "platform/Resources.h"

namespace {

constexpr int64_t kSize = INT64_C(256) << 20;
namespace fs = std::filesystem;

struct Scene {
    fs::path folder = fs::temp_directory_path() / "cofrex-lock-bench";
    std::string target = (folder / "target.bin").string();
    platform::MemoryResources embedded;

    Scene() {
        fs::remove_all(folder);
        fs::create_directories(folder / "appdata");
        std::vector<char> block(1 << 20);
        uint32_t seed = 1;
        std::ofstream out(target, std::ios::binary);
        for (int64_t written = 0; written < kSize; written += block.size()) {
            for (char& c : block) c = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
            out.write(block.data(), block.size());
        }
        std::ifstream unlocker(COFREX_FIXTURE_EXE, std::ios::binary);
        embedded.Add(u"UNCOFREX", {std::istreambuf_iterator<char>(unlocker), {}});
        platform::SetRunningProgramResources(&embedded);
    }
    ~Scene() { fs::remove_all(folder); }
    rtl::String Path(const char* name) const { return rtl::Str((folder / name).string()); }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Report(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kSize);
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) std::abort();
}

void BM_Lock(benchmark::State& state) {
    Scene& scene = TheScene();
    TCofrex builder(scene.Path("appdata"));
    for (auto _ : state) {
        builder.Execute(rtl::Str(scene.target), u"correct horse battery staple", scene.Path("out.exe"));
        state.PauseTiming();
        platform::RemoveFile(scene.Path("out.exe"));
        state.ResumeTiming();
    }
    Report(state);
}

void BM_Cp(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) Run("cp '" + scene.target + "' '" + (scene.folder / "copy.bin").string() + "'");
    Report(state);
}

void BM_OpensslEnc(benchmark::State& state) {
    Scene& scene = TheScene();
    const std::string key(64, 'A'), iv(32, 'B');
    for (auto _ : state)
        Run("openssl enc -aes-256-cbc -K " + key + " -iv " + iv + " -in '" + scene.target + "' -out '" +
            (scene.folder / "enc.bin").string() + "'");
    Report(state);
}

// The parts of a lock: encryption into the work file, then the resource write.
void BM_EncryptFileOnly(benchmark::State& state) {
    Scene& scene = TheScene();
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(rtl::String(32, u'k'));
    for (auto _ : state) aes.EncryptFileW(rtl::Str(scene.target), scene.Path("work.bin"));
    Report(state);
}

void BM_AddEncryptedFileOnly(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        state.PauseTiming();
        platform::CopyFileOver(rtl::Str(COFREX_FIXTURE_EXE), scene.Path("unlocker.exe"));
        state.ResumeTiming();
        builder::AddResource(scene.Path("unlocker.exe"), false, rtl::Str(scene.target), u"ENCRYPTEDFILE");
    }
    Report(state);
}

BENCHMARK(BM_Lock)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Cp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OpensslEnc)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_EncryptFileOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_AddEncryptedFileOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
