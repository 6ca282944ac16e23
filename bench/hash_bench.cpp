// SHA-2 throughput and one package-profile Argon2d derivation, each next to
// its peer (OpenSSL's EVP digests, the reference libargon2) in the same run.
#include <argon2.h>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <vector>

#include "crypto/core/argon2.h"
#include "crypto/core/sha2.h"

namespace {

constexpr size_t kMessage = 16u << 20;

const std::vector<uint8_t>& Message() {
    static const std::vector<uint8_t> m = [] {
        std::vector<uint8_t> v(kMessage);
        for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(i * 131 + 7);
        return v;
    }();
    return m;
}

void Cofrex(benchmark::State& state, uint32_t bits, bool portable) {
    const auto& m = Message();
    uint8_t out[64];
    core::Sha256ForcePortable(portable);
    for (auto _ : state) {
        core::Sha2Digest(m.data(), static_cast<uint32_t>(m.size()), bits, out);
        benchmark::DoNotOptimize(out);
    }
    core::Sha256ForcePortable(false);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMessage);
}

void OpenSsl(benchmark::State& state, const EVP_MD* md) {
    const auto& m = Message();
    uint8_t out[64];
    unsigned int n = 0;
    for (auto _ : state) {
        EVP_Digest(m.data(), m.size(), out, &n, md, nullptr);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMessage);
}

void BM_Sha256_Cofrex(benchmark::State& s) {
    Cofrex(s, 256, false);
}
void BM_Sha256_CofrexPortable(benchmark::State& s) {
    Cofrex(s, 256, true);
}
void BM_Sha256_OpenSsl(benchmark::State& s) {
    OpenSsl(s, EVP_sha256());
}
void BM_Sha512_Cofrex(benchmark::State& s) {
    Cofrex(s, 512, false);
}
void BM_Sha512_OpenSsl(benchmark::State& s) {
    OpenSsl(s, EVP_sha512());
}

BENCHMARK(BM_Sha256_Cofrex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256_CofrexPortable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256_OpenSsl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha512_Cofrex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha512_OpenSsl)->Unit(benchmark::kMillisecond);

// The package key: m = 16 KiB, t = 10, T = 32, one lane.
const uint8_t kPassword[] = "correct horse battery staple";
const uint8_t kSalt[16] = {0x9A, 0x3F, 0x11, 0x02, 0xC4, 0x5E, 0x70, 0x88,
                           0x21, 0xB7, 0x6D, 0x0C, 0xE9, 0x44, 0x13, 0x5A};

void BM_Argon2dPackage_Cofrex(benchmark::State& state) {
    uint8_t out[32];
    for (auto _ : state) {
        core::Argon2dDerive(10, 16, kPassword, sizeof kPassword - 1, kSalt, out, 32);
        benchmark::DoNotOptimize(out);
    }
}

void BM_Argon2dPackage_Libargon2(benchmark::State& state) {
    uint8_t out[32];
    for (auto _ : state) {
        argon2_context c;
        std::memset(&c, 0, sizeof c);
        c.out = out;
        c.outlen = 32;
        c.pwd = const_cast<uint8_t*>(kPassword);
        c.pwdlen = sizeof kPassword - 1;
        c.salt = const_cast<uint8_t*>(kSalt);
        c.saltlen = 16;
        c.t_cost = 10;
        c.m_cost = 16;
        c.lanes = 1;
        c.threads = 1;
        c.version = ARGON2_VERSION_13;
        argon2_ctx(&c, Argon2_d);
        benchmark::DoNotOptimize(out);
    }
}

BENCHMARK(BM_Argon2dPackage_Cofrex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Argon2dPackage_Libargon2)->Unit(benchmark::kMicrosecond);

}  // namespace
