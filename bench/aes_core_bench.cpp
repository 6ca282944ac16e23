// AES-256-CBC over 16 MiB with the bulk block calls, on each implementation,
// against OpenSSL's EVP AES-256-CBC in the same run. Throughput is reported as
// bytes per second; compare lines of the same run only.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <vector>

#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"

namespace {

constexpr size_t kSize = 16 << 20;

struct Data {
    std::vector<uint8_t> input = std::vector<uint8_t>(kSize);
    std::vector<uint8_t> output = std::vector<uint8_t>(kSize + 32);
    uint8_t key[32];
    uint8_t iv[16];
    uint32_t schedule[core::kAesScheduleWords] = {};

    Data() {
        for (size_t i = 0; i < kSize; ++i) input[i] = static_cast<uint8_t>(i * 131 + 7);
        for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(i * 3 + 1);
        for (int i = 0; i < 16; ++i) iv[i] = static_cast<uint8_t>(i * 5 + 2);
        core::AesKeyExpansion(key, schedule, 8);
    }
};

Data& Shared() {
    static Data data;
    return data;
}

void Ours(benchmark::State& state, const core::aes::Impl* impl, bool decrypt) {
    if (impl == nullptr) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    Data& d = Shared();
    auto run = decrypt ? core::aes::DecryptBlocks : core::aes::EncryptBlocks;
    for (auto _ : state) {
        uint8_t chain[16];
        std::memcpy(chain, d.iv, 16);
        run(*impl, core::kAesCbc, d.input.data(), d.output.data(), kSize / 16, d.schedule, 8,
            chain);
        benchmark::DoNotOptimize(d.output.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

void OpenSsl(benchmark::State& state, bool decrypt) {
    Data& d = Shared();
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    for (auto _ : state) {
        EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, d.key, d.iv, decrypt ? 0 : 1);
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
        int n = 0;
        EVP_CipherUpdate(ctx.get(), d.output.data(), &n, d.input.data(), static_cast<int>(kSize));
        benchmark::DoNotOptimize(d.output.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

void BM_Aes256CbcEncrypt_Hardware(benchmark::State& s) {
    Ours(s, core::aes::Hardware(), false);
}
void BM_Aes256CbcEncrypt_OpenSsl(benchmark::State& s) {
    OpenSsl(s, false);
}
void BM_Aes256CbcEncrypt_Portable(benchmark::State& s) {
    Ours(s, &core::aes::Portable(), false);
}
void BM_Aes256CbcDecrypt_Hardware(benchmark::State& s) {
    Ours(s, core::aes::Hardware(), true);
}
void BM_Aes256CbcDecrypt_OpenSsl(benchmark::State& s) {
    OpenSsl(s, true);
}
void BM_Aes256CbcDecrypt_Portable(benchmark::State& s) {
    Ours(s, &core::aes::Portable(), true);
}

BENCHMARK(BM_Aes256CbcEncrypt_Hardware)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcEncrypt_OpenSsl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcEncrypt_Portable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcDecrypt_Hardware)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcDecrypt_OpenSsl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256CbcDecrypt_Portable)->Unit(benchmark::kMillisecond);

}  // namespace
