// The AES-NI implementation. Every function that touches the AES instructions
// carries the target attribute, so this file needs no compiler flags and the
// rest of the program still runs on processors without them; Hardware()
// offers it only when CPUID reports the instructions.
//
// Modes whose blocks are independent (ECB both ways, CBC decryption, CTR) run
// kLanes blocks at once to keep the AES unit's pipeline full; CBC encryption
// and OFB chain every block to the previous one and run one at a time.
#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define COFREX_AESNI __attribute__((target("aes,sse4.1,ssse3")))

namespace core::aes {
namespace {

constexpr int kLanes = 8;

COFREX_AESNI inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

COFREX_AESNI inline void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <int R>
COFREX_AESNI inline void LoadEncryptKeys(const uint8_t* roundKeys, __m128i* k) {
    for (int i = 0; i <= R; ++i) k[i] = Load(roundKeys + 16 * i);
}

// AESDEC implements the equivalent inverse cipher of FIPS 197 section 5.3.5,
// whose middle round keys pass through InvMixColumns; the caller's schedule
// stays the plain one and the transformed keys live only in this call.
template <int R>
COFREX_AESNI inline void LoadDecryptKeys(const uint8_t* roundKeys, __m128i* k) {
    k[0] = Load(roundKeys + 16 * R);
    for (int i = 1; i < R; ++i) k[i] = _mm_aesimc_si128(Load(roundKeys + 16 * (R - i)));
    k[R] = Load(roundKeys);
}

template <int R>
COFREX_AESNI inline __m128i Encrypt1(__m128i b, const __m128i* k) {
    b = _mm_xor_si128(b, k[0]);
#pragma GCC unroll 14
    for (int i = 1; i < R; ++i) b = _mm_aesenc_si128(b, k[i]);
    return _mm_aesenclast_si128(b, k[R]);
}

template <int R>
COFREX_AESNI inline __m128i Decrypt1(__m128i b, const __m128i* k) {
    b = _mm_xor_si128(b, k[0]);
#pragma GCC unroll 14
    for (int i = 1; i < R; ++i) b = _mm_aesdec_si128(b, k[i]);
    return _mm_aesdeclast_si128(b, k[R]);
}

// All kLanes blocks through the rounds together, so the instructions overlap.
template <int R, bool decrypt>
COFREX_AESNI inline void Lanes(__m128i* b, const __m128i* k) {
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j) b[j] = _mm_xor_si128(b[j], k[0]);
#pragma GCC unroll 14
    for (int i = 1; i < R; ++i) {
        const __m128i key = k[i];
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j)
            b[j] = decrypt ? _mm_aesdec_si128(b[j], key) : _mm_aesenc_si128(b[j], key);
    }
#pragma GCC unroll 8
    for (int j = 0; j < kLanes; ++j)
        b[j] = decrypt ? _mm_aesdeclast_si128(b[j], k[R]) : _mm_aesenclast_si128(b[j], k[R]);
}

template <int R, bool decrypt>
COFREX_AESNI void Ecb(const uint8_t* input, uint8_t* output, size_t blockCount,
                      const uint8_t* roundKeys) {
    __m128i k[R + 1];
    if constexpr (decrypt) {
        LoadDecryptKeys<R>(roundKeys, k);
    } else {
        LoadEncryptKeys<R>(roundKeys, k);
    }
    size_t n = 0;
    for (; n + kLanes <= blockCount; n += kLanes) {
        __m128i b[kLanes];
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) b[j] = Load(input + 16 * (n + j));
        Lanes<R, decrypt>(b, k);
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) Store(output + 16 * (n + j), b[j]);
    }
    for (; n < blockCount; ++n) {
        const __m128i b = Load(input + 16 * n);
        Store(output + 16 * n, decrypt ? Decrypt1<R>(b, k) : Encrypt1<R>(b, k));
    }
}

template <int R>
COFREX_AESNI void CbcEncrypt(const uint8_t* input, uint8_t* output, size_t blockCount,
                             const uint8_t* roundKeys, uint8_t* state) {
    __m128i k[R + 1];
    LoadEncryptKeys<R>(roundKeys, k);
    __m128i chain = Load(state);
    for (size_t n = 0; n < blockCount; ++n) {
        chain = Encrypt1<R>(_mm_xor_si128(Load(input + 16 * n), chain), k);
        Store(output + 16 * n, chain);
    }
    Store(state, chain);
}

template <int R>
COFREX_AESNI void CbcDecrypt(const uint8_t* input, uint8_t* output, size_t blockCount,
                             const uint8_t* roundKeys, uint8_t* state) {
    __m128i k[R + 1];
    LoadDecryptKeys<R>(roundKeys, k);
    __m128i chain = Load(state);
    size_t n = 0;
    for (; n + kLanes <= blockCount; n += kLanes) {
        __m128i c[kLanes], b[kLanes];
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) b[j] = c[j] = Load(input + 16 * (n + j));
        Lanes<R, true>(b, k);
        Store(output + 16 * n, _mm_xor_si128(b[0], chain));
#pragma GCC unroll 8
        for (int j = 1; j < kLanes; ++j)
            Store(output + 16 * (n + j), _mm_xor_si128(b[j], c[j - 1]));
        chain = c[kLanes - 1];
    }
    for (; n < blockCount; ++n) {
        const __m128i c = Load(input + 16 * n);
        Store(output + 16 * n, _mm_xor_si128(Decrypt1<R>(c, k), chain));
        chain = c;
    }
    Store(state, chain);
}

template <int R>
COFREX_AESNI void Ofb(const uint8_t* input, uint8_t* output, size_t blockCount,
                      const uint8_t* roundKeys, uint8_t* state) {
    __m128i k[R + 1];
    LoadEncryptKeys<R>(roundKeys, k);
    __m128i stream = Load(state);
    for (size_t n = 0; n < blockCount; ++n) {
        stream = Encrypt1<R>(stream, k);
        Store(output + 16 * n, _mm_xor_si128(Load(input + 16 * n), stream));
    }
    Store(state, stream);
}

uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
}

void StoreBigEndian64(uint8_t* p, uint64_t v) {
    for (int i = 7; i >= 0; --i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

// The counter is kept as two 64-bit halves and byte-swapped into a block.
struct Counter {
    uint64_t high;
    uint64_t low;

    COFREX_AESNI __m128i NextBlock() {
        const __m128i swap = _mm_set_epi8(8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
        const __m128i block = _mm_shuffle_epi8(
            _mm_set_epi64x(static_cast<int64_t>(low), static_cast<int64_t>(high)), swap);
        if (++low == 0) ++high;
        return block;
    }
};

template <int R>
COFREX_AESNI void Ctr(const uint8_t* input, uint8_t* output, size_t blockCount,
                      const uint8_t* roundKeys, uint8_t* state) {
    __m128i k[R + 1];
    LoadEncryptKeys<R>(roundKeys, k);
    Counter counter{LoadBigEndian64(state), LoadBigEndian64(state + 8)};
    size_t n = 0;
    for (; n + kLanes <= blockCount; n += kLanes) {
        __m128i b[kLanes];
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) b[j] = counter.NextBlock();
        Lanes<R, false>(b, k);
#pragma GCC unroll 8
        for (int j = 0; j < kLanes; ++j) {
            Store(output + 16 * (n + j), _mm_xor_si128(Load(input + 16 * (n + j)), b[j]));
        }
    }
    for (; n < blockCount; ++n) {
        const __m128i stream = Encrypt1<R>(counter.NextBlock(), k);
        Store(output + 16 * n, _mm_xor_si128(Load(input + 16 * n), stream));
    }
    StoreBigEndian64(state, counter.high);
    StoreBigEndian64(state + 8, counter.low);
}

template <int R>
COFREX_AESNI void Run(bool decrypt, uint32_t mode, const uint8_t* input, uint8_t* output,
                      size_t blockCount, const uint8_t* roundKeys, uint8_t* state) {
    switch (mode) {
        case kAesEcb:
            if (decrypt) {
                Ecb<R, true>(input, output, blockCount, roundKeys);
            } else {
                Ecb<R, false>(input, output, blockCount, roundKeys);
            }
            break;
        case kAesCbc:
            if (decrypt) {
                CbcDecrypt<R>(input, output, blockCount, roundKeys, state);
            } else {
                CbcEncrypt<R>(input, output, blockCount, roundKeys, state);
            }
            break;
        case kAesOfb:
            Ofb<R>(input, output, blockCount, roundKeys, state);
            break;
        default:
            Ctr<R>(input, output, blockCount, roundKeys, state);
    }
}

void Dispatch(bool decrypt, uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
              const uint8_t* roundKeys, int rounds, uint8_t* state) {
    if (blockCount == 0) return;
    switch (rounds) {
        case 10:
            Run<10>(decrypt, mode, input, output, blockCount, roundKeys, state);
            break;
        case 12:
            Run<12>(decrypt, mode, input, output, blockCount, roundKeys, state);
            break;
        default:
            Run<14>(decrypt, mode, input, output, blockCount, roundKeys, state);
    }
}

void Encrypt(uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
             const uint8_t* roundKeys, int rounds, uint8_t* state) {
    Dispatch(false, mode, input, output, blockCount, roundKeys, rounds, state);
}

void Decrypt(uint32_t mode, const uint8_t* input, uint8_t* output, size_t blockCount,
             const uint8_t* roundKeys, int rounds, uint8_t* state) {
    Dispatch(true, mode, input, output, blockCount, roundKeys, rounds, state);
}

}  // namespace

const Impl* Hardware() {
    static constexpr Impl impl{"aes-ni", Encrypt, Decrypt};
    return CpuHasAesNi() ? &impl : nullptr;
}

}  // namespace core::aes

#else

namespace core::aes {

const Impl* Hardware() {
    return nullptr;
}

}  // namespace core::aes

#endif
