#include "crypto/core/blake2b.h"

#include <cstring>

namespace core {
namespace {

const uint64_t kIv[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                         0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                         0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

constexpr uint8_t kSigma[12][16] = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                                    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
                                    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
                                    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
                                    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
                                    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
                                    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
                                    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
                                    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
                                    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
                                    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                                    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3}};

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

inline uint64_t LoadLe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void Wipe(void* p, size_t n) {
    std::memset(p, 0, n);
    // Keeps the stores even when the memory is dead right after.
    __asm__ __volatile__("" : : "r"(p) : "memory");
}

inline void G(uint64_t v[16], int a, int b, int c, int d, uint64_t x, uint64_t y) {
    v[a] = v[a] + v[b] + x;
    v[d] = Rotr(v[d] ^ v[a], 32);
    v[c] = v[c] + v[d];
    v[b] = Rotr(v[b] ^ v[c], 24);
    v[a] = v[a] + v[b] + y;
    v[d] = Rotr(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = Rotr(v[b] ^ v[c], 63);
}

void Compress(Blake2bState& s, const uint8_t* block) {
    uint64_t m[16];
    uint64_t v[16];
    for (int i = 0; i < 16; ++i) m[i] = LoadLe64(block + 8 * i);
    for (int i = 0; i < 8; ++i) {
        v[i] = s.h[i];
        v[i + 8] = kIv[i];
    }
    v[12] ^= s.t[0];
    v[13] ^= s.t[1];
    v[14] ^= s.f[0];
    v[15] ^= s.f[1];
#pragma GCC unroll 12
    for (int r = 0; r < 12; ++r) {
        const uint8_t* z = kSigma[r];
        G(v, 0, 4, 8, 12, m[z[0]], m[z[1]]);
        G(v, 1, 5, 9, 13, m[z[2]], m[z[3]]);
        G(v, 2, 6, 10, 14, m[z[4]], m[z[5]]);
        G(v, 3, 7, 11, 15, m[z[6]], m[z[7]]);
        G(v, 0, 5, 10, 15, m[z[8]], m[z[9]]);
        G(v, 1, 6, 11, 12, m[z[10]], m[z[11]]);
        G(v, 2, 7, 8, 13, m[z[12]], m[z[13]]);
        G(v, 3, 4, 9, 14, m[z[14]], m[z[15]]);
    }
    for (int i = 0; i < 8; ++i) s.h[i] ^= v[i] ^ v[i + 8];
    Wipe(m, sizeof m);
    Wipe(v, sizeof v);
}

void AddToCounter(Blake2bState& s, uint64_t n) {
    s.t[0] += n;
    if (s.t[0] < n) ++s.t[1];
}

int32_t Init(Blake2bState* state, uint32_t digestLength, uint32_t keyLength) {
    if (state == nullptr || digestLength == 0 || digestLength > 64) return kBlake2bNullPointer;
    std::memset(state, 0, sizeof *state);
    std::memcpy(state->h, kIv, sizeof kIv);
    // Parameter block word 0: digest length, key length, fanout 1, depth 1.
    state->h[0] ^= 0x01010000u | (keyLength << 8) | digestLength;
    state->digestLength = digestLength;
    return kOk;
}

}  // namespace

int32_t Blake2bInitState(Blake2bState* state, uint32_t digestLength) {
    return Init(state, digestLength, 0);
}

int32_t Blake2bFeed(Blake2bState* state, const uint8_t* data, uint32_t length) {
    if (length == 0) return kOk;
    if (state == nullptr || data == nullptr) return kBlake2bNullPointer;
    if (state->f[0] != 0) return kBlake2bReusedState;
    if (length > 128 - state->buffered) {
        const uint32_t fill = 128 - state->buffered;
        std::memcpy(state->buffer + state->buffered, data, fill);
        AddToCounter(*state, 128);
        Compress(*state, state->buffer);
        state->buffered = 0;
        data += fill;
        length -= fill;
        while (length > 128) {
            AddToCounter(*state, 128);
            Compress(*state, data);
            data += 128;
            length -= 128;
        }
    }
    std::memcpy(state->buffer + state->buffered, data, length);
    state->buffered += length;
    return kOk;
}

int32_t Blake2bFinish(Blake2bState* state, uint8_t* out, uint32_t capacity) {
    if (state == nullptr || out == nullptr || capacity < state->digestLength) {
        return kBlake2bNullPointer;
    }
    if (state->f[0] != 0) return kBlake2bReusedState;
    AddToCounter(*state, state->buffered);
    state->f[0] = ~uint64_t{0};
    std::memset(state->buffer + state->buffered, 0, 128 - state->buffered);
    Compress(*state, state->buffer);
    uint8_t full[64];
    for (int i = 0; i < 64; ++i) full[i] = static_cast<uint8_t>(state->h[i / 8] >> (8 * (i % 8)));
    std::memcpy(out, full, state->digestLength);
    Wipe(full, sizeof full);
    Wipe(state->buffer, sizeof state->buffer);
    Wipe(state->h, sizeof state->h);
    return kOk;
}

int32_t Blake2bDigest(const uint8_t* in, uint32_t inputLength, const uint8_t* key,
                      uint32_t keyLength, uint8_t* out, uint32_t outLength) {
    if ((in == nullptr && inputLength > 0) || out == nullptr || outLength == 0 || outLength > 64 ||
        (key == nullptr && keyLength > 0) || keyLength > 64) {
        return kBlake2bNullPointer;
    }
    Blake2bState state;
    int32_t rc = Init(&state, outLength, keyLength);
    if (rc == kOk && keyLength > 0) {
        uint8_t block[128] = {};
        std::memcpy(block, key, keyLength);
        rc = Blake2bFeed(&state, block, sizeof block);
        Wipe(block, sizeof block);
    }
    if (rc == kOk) rc = Blake2bFeed(&state, in, inputLength);
    if (rc == kOk) rc = Blake2bFinish(&state, out, outLength);
    Wipe(&state, sizeof state);
    return rc;
}

int32_t Blake2bExpand(uint8_t* out, uint32_t outLength, const uint8_t* in, uint32_t inputLength) {
    if (out == nullptr) return kBlake2bNullPointer;
    const uint8_t prefix[4] = {
        static_cast<uint8_t>(outLength), static_cast<uint8_t>(outLength >> 8),
        static_cast<uint8_t>(outLength >> 16), static_cast<uint8_t>(outLength >> 24)};
    Blake2bState state;
    const uint32_t first = outLength <= 64 ? outLength : 64;
    uint8_t v[64];
    int32_t rc = Blake2bInitState(&state, first);
    if (rc == kOk) rc = Blake2bFeed(&state, prefix, sizeof prefix);
    if (rc == kOk) rc = Blake2bFeed(&state, in, inputLength);
    if (rc == kOk) rc = Blake2bFinish(&state, outLength <= 64 ? out : v, first);
    if (rc == kOk && outLength > 64) {
        std::memcpy(out, v, 32);
        uint32_t produced = 32;
        while (rc == kOk && outLength - produced > 64) {
            rc = Blake2bDigest(v, 64, nullptr, 0, v, 64);
            std::memcpy(out + produced, v, 32);
            produced += 32;
        }
        if (rc == kOk) rc = Blake2bDigest(v, 64, nullptr, 0, out + produced, outLength - produced);
    }
    Wipe(v, sizeof v);
    Wipe(&state, sizeof state);
    return rc;
}

}  // namespace core
