#include <cstring>

#include "crypto/core/sha2.h"
#include "crypto/core/sha2_internal.h"

namespace core {
namespace sha2 {
namespace {

// FIPS 180-4 section 5.3 initial hash values.
const uint32_t kSha256Init[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
const uint64_t kSha384Init[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                 0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                 0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};
const uint64_t kSha512Init[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                 0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

void Compress(Context& c, const uint8_t* data, size_t blocks) {
    if (c.bits == 256) {
        Sha256Blocks(c.state256, data, blocks, kSha256K);
    } else {
        Sha512Blocks(c.state512, data, blocks, kSha512K);
    }
}

}  // namespace

void Wipe(void* p, size_t n) {
    std::memset(p, 0, n);
    // Keeps the stores even when the memory is dead right after.
    __asm__ __volatile__("" : : "r"(p) : "memory");
}

void Init(Context& c, uint32_t bits) {
    std::memset(&c, 0, sizeof c);
    c.bits = bits;
    if (bits == 256) {
        std::memcpy(c.state256, kSha256Init, sizeof kSha256Init);
    } else {
        std::memcpy(c.state512, bits == 384 ? kSha384Init : kSha512Init, sizeof kSha512Init);
    }
}

void Update(Context& c, const uint8_t* data, size_t length) {
    const size_t block = BlockBytes(c.bits);
    c.total += length;
    if (c.buffered > 0) {
        const size_t take = length < block - c.buffered ? length : block - c.buffered;
        std::memcpy(c.buffer + c.buffered, data, take);
        c.buffered += static_cast<uint32_t>(take);
        data += take;
        length -= take;
        if (c.buffered < block) return;
        Compress(c, c.buffer, 1);
        c.buffered = 0;
    }
    if (length >= block) {
        Compress(c, data, length / block);
        data += length - length % block;
        length %= block;
    }
    if (length > 0) {
        std::memcpy(c.buffer, data, length);
        c.buffered = static_cast<uint32_t>(length);
    }
}

void Final(Context& c, uint8_t* digest) {
    const size_t block = BlockBytes(c.bits);
    const size_t lengthField = block / 8;  // 8 bytes for SHA-256, 16 for SHA-384/512
    c.buffer[c.buffered++] = 0x80;
    if (c.buffered > block - lengthField) {
        std::memset(c.buffer + c.buffered, 0, block - c.buffered);
        Compress(c, c.buffer, 1);
        c.buffered = 0;
    }
    std::memset(c.buffer + c.buffered, 0, block - c.buffered);
    const uint64_t bitLength = c.total << 3;
    for (int i = 0; i < 8; ++i)
        c.buffer[block - 1 - i] = static_cast<uint8_t>(bitLength >> (8 * i));
    Compress(c, c.buffer, 1);

    const uint32_t n = DigestBytes(c.bits);
    for (uint32_t i = 0; i < n; ++i) {
        digest[i] = c.bits == 256 ? static_cast<uint8_t>(c.state256[i / 4] >> (24 - 8 * (i % 4)))
                                  : static_cast<uint8_t>(c.state512[i / 8] >> (56 - 8 * (i % 8)));
    }
    Wipe(&c, sizeof c);
}

}  // namespace sha2

int32_t Sha2Digest(const uint8_t* message, uint32_t length, uint32_t bits, uint8_t* digest) {
    if (message == nullptr || digest == nullptr) return kSha2NullPointer;
    if (!sha2::ValidBits(bits)) return kSha2BadSize;
    sha2::Context c;
    sha2::Init(c, bits);
    sha2::Update(c, message, length);
    sha2::Final(c, digest);
    return kOk;
}

}  // namespace core
