// SHA-256 on the x86 SHA extensions. The state is kept as the two registers
// the instructions expect (ABEF and CDGH) for the whole run of blocks.
#include "crypto/core/sha2_internal.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <utility>

#define COFREX_SHANI __attribute__((target("sha,sse4.1,ssse3")))

namespace core::sha2 {
namespace {

struct Lanes {
    __m128i abef;
    __m128i cdgh;
    __m128i m[4];
};

// Rounds 4g..4g+3. Message words for group g+1 are finished here and those
// for group g+3 started, so each schedule register is reused every 4 groups.
template <int g>
COFREX_SHANI inline void Group(Lanes& s, const uint8_t* data, const uint32_t* k, __m128i mask) {
    __m128i& cur = s.m[g & 3];
    __m128i& prev = s.m[(g + 3) & 3];
    __m128i& next = s.m[(g + 1) & 3];
    if constexpr (g < 4) {
        cur = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * g)),
                               mask);
    }
    __m128i msg = _mm_add_epi32(cur, _mm_loadu_si128(reinterpret_cast<const __m128i*>(k + 4 * g)));
    s.cdgh = _mm_sha256rnds2_epu32(s.cdgh, s.abef, msg);
    if constexpr (g >= 3 && g <= 14) {
        next = _mm_add_epi32(next, _mm_alignr_epi8(cur, prev, 4));
        next = _mm_sha256msg2_epu32(next, cur);
    }
    msg = _mm_shuffle_epi32(msg, 0x0E);
    s.abef = _mm_sha256rnds2_epu32(s.abef, s.cdgh, msg);
    if constexpr (g >= 1 && g <= 12) prev = _mm_sha256msg1_epu32(prev, cur);
}

template <size_t... g>
COFREX_SHANI inline void AllGroups(Lanes& s, const uint8_t* data, const uint32_t* k, __m128i mask,
                                   std::index_sequence<g...>) {
    (Group<g>(s, data, k, mask), ...);
}

}  // namespace

COFREX_SHANI void Sha256BlocksShaNi(uint32_t state[8], const uint8_t* data, size_t blocks,
                                    const uint32_t k[64]) {
    const __m128i mask = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    Lanes s;
    s.abef = _mm_alignr_epi8(cdab, efgh, 8);
    s.cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abef = s.abef;
        const __m128i cdgh = s.cdgh;
        AllGroups(s, data, k, mask, std::make_index_sequence<16>{});
        s.abef = _mm_add_epi32(s.abef, abef);
        s.cdgh = _mm_add_epi32(s.cdgh, cdgh);
    }

    const __m128i feba = _mm_shuffle_epi32(s.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(s.cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}

}  // namespace core::sha2

#else

#include "crypto/core/sha2.h"

namespace core::sha2 {

// Never selected: CpuHasShaNi() is false on other processors.
void Sha256BlocksShaNi(uint32_t state[8], const uint8_t* data, size_t blocks,
                       const uint32_t k[64]) {
    Sha256BlocksPortable(state, data, blocks, k);
}

}  // namespace core::sha2

#endif
