#pragma once
// Pieces shared by the SHA-2 files: the multi-block compressors and a
// streaming context used by the one-shot digest and by HMAC.
#include <cstddef>
#include <cstdint>

namespace core::sha2 {

extern const uint32_t kSha256K[64];
extern const uint64_t kSha512K[80];

// Compress `blocks` consecutive 64-byte blocks into `state`.
void Sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks,
                          const uint32_t k[64]);
// Requires core::CpuHasShaNi(); not defined on processors without it.
void Sha256BlocksShaNi(uint32_t state[8], const uint8_t* data, size_t blocks, const uint32_t k[64]);
// The path chosen at start-up (or forced by Sha256ForcePortable).
void Sha256Blocks(uint32_t state[8], const uint8_t* data, size_t blocks, const uint32_t k[64]);

void Sha512Blocks(uint64_t state[8], const uint8_t* data, size_t blocks, const uint64_t k[80]);

// Streaming SHA-2 for messages below 2^61 bytes. `bits` must already be
// 256, 384 or 512.
struct Context {
    uint32_t state256[8];
    uint64_t state512[8];
    uint8_t buffer[128];
    uint64_t total;
    uint32_t buffered;
    uint32_t bits;
};

void Init(Context& c, uint32_t bits);
void Update(Context& c, const uint8_t* data, size_t length);
// Writes bits/8 bytes and wipes the context.
void Final(Context& c, uint8_t* digest);

inline uint32_t DigestBytes(uint32_t bits) {
    return bits / 8;
}
inline uint32_t BlockBytes(uint32_t bits) {
    return bits == 256 ? 64 : 128;
}
inline bool ValidBits(uint32_t bits) {
    return bits == 256 || bits == 384 || bits == 512;
}

// Clears memory in a way the optimiser keeps.
void Wipe(void* p, size_t n);

}  // namespace core::sha2
