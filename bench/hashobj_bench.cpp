// TSHA2Hash.HashStream over a 16 MiB memory stream next to the core's one-shot
// digest and OpenSSL over the same bytes in the same run: what reading in
// chunks, per-block compression calls and progress updates cost.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <vector>

#include "crypto/HashObj.h"
#include "crypto/core/sha2.h"
#include "rtl/Stream.h"

namespace {

constexpr size_t kMessage = 16u << 20;

std::vector<uint8_t> Message() {
    std::vector<uint8_t> v(kMessage);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(i * 131 + 7);
    return v;
}

void HashStream(benchmark::State& state, int32_t bits) {
    rtl::TMemoryStream stream(Message());
    TSHA2Hash hash(bits, TConvertType::hexa, TUnicode::yesUni);
    int events = 0;
    hash.SetOnChange([&](rtl::TObject*) { ++events; });
    for (auto _ : state) benchmark::DoNotOptimize(hash.HashStream(stream));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMessage);
}

void CoreDigest(benchmark::State& state, uint32_t bits) {
    const auto m = Message();
    uint8_t out[64];
    for (auto _ : state) {
        core::Sha2Digest(m.data(), static_cast<uint32_t>(m.size()), bits, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMessage);
}

void OpenSsl(benchmark::State& state, const EVP_MD* md) {
    const auto m = Message();
    uint8_t out[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    for (auto _ : state) {
        EVP_Digest(m.data(), m.size(), out, &n, md, nullptr);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMessage);
}

BENCHMARK_CAPTURE(HashStream, sha256, 256)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CoreDigest, sha256, 256)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSsl, sha256, EVP_sha256())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HashStream, sha512, 512)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CoreDigest, sha512, 512)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenSsl, sha512, EVP_sha512())->Unit(benchmark::kMillisecond);

}  // namespace
