#include <atomic>
#include <cstring>

#include "crypto/core/cpu.h"
#include "crypto/core/sha2.h"
#include "crypto/core/sha2_internal.h"

namespace core {
namespace sha2 {

const uint32_t kSha256K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

namespace {

inline uint32_t Rotr(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

inline uint32_t LoadBe32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Step t of FIPS 180-4 section 6.2.2, extending the schedule in the 16-word
// ring w from step 16 on.
inline void Step(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                 uint32_t g, uint32_t& h, uint32_t w[16], const uint32_t k[64], int t) {
    if (t >= 16) {
        const uint32_t w15 = w[(t - 15) & 15], w2 = w[(t - 2) & 15];
        w[t & 15] += (Rotr(w15, 7) ^ Rotr(w15, 18) ^ (w15 >> 3)) + w[(t - 7) & 15] +
                     (Rotr(w2, 17) ^ Rotr(w2, 19) ^ (w2 >> 10));
    }
    const uint32_t t1 =
        h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[t] + w[t & 15];
    d += t1;
    h = t1 + (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
}

bool ShaNiAtStartUp() {
    static const bool available = CpuHasShaNi();
    return available;
}

std::atomic<bool> forcePortable{false};

}  // namespace

void Sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks,
                          const uint32_t k[64]) {
    uint32_t w[16];
    for (; blocks > 0; --blocks, data += 64) {
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 16; ++i) w[i] = LoadBe32(data + 4 * i);
            // Eight steps per turn with the roles of a..h rotated, so that no
            // variable is copied between steps.
#pragma GCC unroll 8
        for (int t = 0; t < 64; t += 8) {
            Step(a, b, c, d, e, f, g, h, w, k, t + 0);
            Step(h, a, b, c, d, e, f, g, w, k, t + 1);
            Step(g, h, a, b, c, d, e, f, w, k, t + 2);
            Step(f, g, h, a, b, c, d, e, w, k, t + 3);
            Step(e, f, g, h, a, b, c, d, w, k, t + 4);
            Step(d, e, f, g, h, a, b, c, w, k, t + 5);
            Step(c, d, e, f, g, h, a, b, w, k, t + 6);
            Step(b, c, d, e, f, g, h, a, w, k, t + 7);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
    Wipe(w, sizeof w);
}

void Sha256Blocks(uint32_t state[8], const uint8_t* data, size_t blocks, const uint32_t k[64]) {
    if (Sha256UsesShaNi()) {
        Sha256BlocksShaNi(state, data, blocks, k);
    } else {
        Sha256BlocksPortable(state, data, blocks, k);
    }
}

}  // namespace sha2

void Sha256RoundConstants(uint32_t table[64]) {
    std::memcpy(table, sha2::kSha256K, sizeof sha2::kSha256K);
}

void Sha256CompressBlock(const uint8_t block[64], const uint32_t constants[64], uint32_t state[8]) {
    sha2::Sha256Blocks(state, block, 1, constants);
}

void Sha256ForcePortable(bool portable) {
    sha2::forcePortable.store(portable, std::memory_order_relaxed);
}

bool Sha256UsesShaNi() {
    return sha2::ShaNiAtStartUp() && !sha2::forcePortable.load(std::memory_order_relaxed);
}

}  // namespace core
