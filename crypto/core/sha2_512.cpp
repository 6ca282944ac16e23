#include <cstring>

#include "crypto/core/sha2.h"
#include "crypto/core/sha2_internal.h"

namespace core {
namespace sha2 {

const uint64_t kSha512K[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc,
    0x3956c25bf348b538, 0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118,
    0xd807aa98a3030242, 0x12835b0145706fbe, 0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2,
    0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235, 0xc19bf174cf692694,
    0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5,
    0x983e5152ee66dfab, 0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4,
    0xc6e00bf33da88fc2, 0xd5a79147930aa725, 0x06ca6351e003826f, 0x142929670a0e6e70,
    0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed, 0x53380d139d95b3df,
    0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30,
    0xd192e819d6ef5218, 0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8,
    0x19a4c116b8d2d0c8, 0x1e376c085141ab53, 0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8,
    0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373, 0x682e6ff3d6b2b8a3,
    0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b,
    0xca273eceea26619c, 0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178,
    0x06f067aa72176fba, 0x0a637dc5a2c898a6, 0x113f9804bef90dae, 0x1b710b35131c471b,
    0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc, 0x431d67c49c100d4c,
    0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817};

namespace {

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

inline uint64_t LoadBe64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// Step t of FIPS 180-4 section 6.4.2, extending the schedule in the 16-word
// ring w from step 16 on.
inline void Step(uint64_t a, uint64_t b, uint64_t c, uint64_t& d, uint64_t e, uint64_t f,
                 uint64_t g, uint64_t& h, uint64_t w[16], const uint64_t k[80], int t) {
    if (t >= 16) {
        const uint64_t w15 = w[(t - 15) & 15], w2 = w[(t - 2) & 15];
        w[t & 15] += (Rotr(w15, 1) ^ Rotr(w15, 8) ^ (w15 >> 7)) + w[(t - 7) & 15] +
                     (Rotr(w2, 19) ^ Rotr(w2, 61) ^ (w2 >> 6));
    }
    const uint64_t t1 =
        h + (Rotr(e, 14) ^ Rotr(e, 18) ^ Rotr(e, 41)) + ((e & f) ^ (~e & g)) + k[t] + w[t & 15];
    d += t1;
    h = t1 + (Rotr(a, 28) ^ Rotr(a, 34) ^ Rotr(a, 39)) + ((a & b) ^ (a & c) ^ (b & c));
}

}  // namespace

void Sha512Blocks(uint64_t state[8], const uint8_t* data, size_t blocks, const uint64_t k[80]) {
    uint64_t w[16];
    for (; blocks > 0; --blocks, data += 128) {
        uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 16; ++i) w[i] = LoadBe64(data + 8 * i);
            // Eight steps per turn with the roles of a..h rotated, so that no
            // variable is copied between steps.
#pragma GCC unroll 10
        for (int t = 0; t < 80; t += 8) {
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

}  // namespace sha2

void Sha512RoundConstants(uint64_t table[80]) {
    std::memcpy(table, sha2::kSha512K, sizeof sha2::kSha512K);
}

void Sha512CompressBlock(const uint8_t block[128], const uint64_t constants[80],
                         uint64_t state[8]) {
    sha2::Sha512Blocks(state, block, 1, constants);
}

}  // namespace core
