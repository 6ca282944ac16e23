// What one password guess costs someone who holds a package, on one core. The package stores
// the check value (SHA-256 of the password's UTF-8 bytes followed by the 64-digit salt text)
// next to the Argon2d salt, so a guess can be tested with one short SHA-256 instead of a key
// derivation. Both costs are measured here, each beside its peer (OpenSSL, libargon2).
#include <argon2.h>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <string>

#include "crypto/core/argon2.h"
#include "crypto/core/sha2.h"

namespace {

// A 12-character guess followed by a salt text: 76 bytes, two SHA-256 blocks.
const std::string kGuess = std::string("Tr0ub4dor&3x") +
                           "9A3F1102C45E708821B76D0CE944135A9A3F1102C45E708821B76D0CE944135A";

void BM_CheckValueGuess_Cofrex(benchmark::State& state) {
    uint8_t digest[32];
    auto* bytes = reinterpret_cast<const uint8_t*>(kGuess.data());
    for (auto _ : state) {
        core::Sha2Digest(bytes, static_cast<uint32_t>(kGuess.size()), 256, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CheckValueGuess_OpenSsl(benchmark::State& state) {
    uint8_t digest[32];
    unsigned int n = 0;
    for (auto _ : state) {
        EVP_Digest(kGuess.data(), kGuess.size(), digest, &n, EVP_sha256(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetItemsProcessed(state.iterations());
}

// The key derivation a guess would cost without the check value: m = 16 KiB, t = 10, one lane.
void BM_KeyGuess_Cofrex(benchmark::State& state) {
    uint8_t key[32];
    auto* bytes = reinterpret_cast<const uint8_t*>(kGuess.data());
    for (auto _ : state) {
        core::Argon2dDerive(10, 16, bytes, 12, bytes + 12, key, 32);
        benchmark::DoNotOptimize(key);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_KeyGuess_Libargon2(benchmark::State& state) {
    uint8_t key[32];
    for (auto _ : state) {
        argon2_hash(10, 16, 1, kGuess.data(), 12, kGuess.data() + 12, 16, key, 32, nullptr, 0,
                    Argon2_d, ARGON2_VERSION_13);
        benchmark::DoNotOptimize(key);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_CheckValueGuess_Cofrex);
BENCHMARK(BM_CheckValueGuess_OpenSsl);
BENCHMARK(BM_KeyGuess_Cofrex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyGuess_Libargon2)->Unit(benchmark::kMicrosecond);

}  // namespace
