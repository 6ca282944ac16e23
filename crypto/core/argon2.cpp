#include "crypto/core/argon2.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "crypto/core/blake2b.h"

namespace core {
namespace {

constexpr uint32_t kWords = 128;  // 64-bit words in a 1 KiB block
constexpr uint32_t kVersion = 0x13;
constexpr uint32_t kTypeD = 0;
constexpr uint32_t kSaltLength = 16;

struct Block {
    uint64_t v[kWords];
};

void Wipe(void* p, size_t n) {
    std::memset(p, 0, n);
    // Keeps the stores although the memory is released right after.
    __asm__ __volatile__("" : : "r"(p) : "memory");
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void BytesToBlock(const uint8_t* bytes, Block& b) {
    for (uint32_t i = 0; i < kWords; ++i) {
        uint64_t w = 0;
        for (int k = 7; k >= 0; --k) w = (w << 8) | bytes[8 * i + k];
        b.v[i] = w;
    }
}

void BlockToBytes(const Block& b, uint8_t* bytes) {
    for (uint32_t i = 0; i < kWords; ++i) {
        for (int k = 0; k < 8; ++k) bytes[8 * i + k] = static_cast<uint8_t>(b.v[i] >> (8 * k));
    }
}

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

// BLAKE2b's G with the multiplications of RFC 9106 section 3.6.
inline uint64_t Mix(uint64_t a, uint64_t b) {
    return a + b + 2 * (a & 0xFFFFFFFFu) * (b & 0xFFFFFFFFu);
}

inline void Gb(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t& d) {
    a = Mix(a, b);
    d = Rotr(d ^ a, 32);
    c = Mix(c, d);
    b = Rotr(b ^ c, 24);
    a = Mix(a, b);
    d = Rotr(d ^ a, 16);
    c = Mix(c, d);
    b = Rotr(b ^ c, 63);
}

// The permutation P of RFC 9106 section 3.6 on sixteen words.
inline void Permute(uint64_t& v0, uint64_t& v1, uint64_t& v2, uint64_t& v3, uint64_t& v4,
                    uint64_t& v5, uint64_t& v6, uint64_t& v7, uint64_t& v8, uint64_t& v9,
                    uint64_t& v10, uint64_t& v11, uint64_t& v12, uint64_t& v13, uint64_t& v14,
                    uint64_t& v15) {
    Gb(v0, v4, v8, v12);
    Gb(v1, v5, v9, v13);
    Gb(v2, v6, v10, v14);
    Gb(v3, v7, v11, v15);
    Gb(v0, v5, v10, v15);
    Gb(v1, v6, v11, v12);
    Gb(v2, v7, v8, v13);
    Gb(v3, v4, v9, v14);
}

// next = G(prev, ref), XORed into next's old content in passes after the first.
void FillBlock(const Block& prev, const Block& ref, Block& next, bool xorInto) {
    Block r;
    Block keep;
    for (uint32_t i = 0; i < kWords; ++i) {
        r.v[i] = prev.v[i] ^ ref.v[i];
        keep.v[i] = xorInto ? r.v[i] ^ next.v[i] : r.v[i];
    }
    uint64_t* v = r.v;
    // Rows: 8 runs of 16 consecutive words.
    for (uint32_t i = 0; i < 128; i += 16) {
        Permute(v[i], v[i + 1], v[i + 2], v[i + 3], v[i + 4], v[i + 5], v[i + 6], v[i + 7],
                v[i + 8], v[i + 9], v[i + 10], v[i + 11], v[i + 12], v[i + 13], v[i + 14],
                v[i + 15]);
    }
    // Columns: the word pairs 2c, 2c + 1 of every row.
    for (uint32_t i = 0; i < 16; i += 2) {
        Permute(v[i], v[i + 1], v[i + 16], v[i + 17], v[i + 32], v[i + 33], v[i + 48], v[i + 49],
                v[i + 64], v[i + 65], v[i + 80], v[i + 81], v[i + 96], v[i + 97], v[i + 112],
                v[i + 113]);
    }
    for (uint32_t i = 0; i < kWords; ++i) next.v[i] = keep.v[i] ^ r.v[i];
}

int32_t InitialHash(uint32_t t, uint32_t m, const uint8_t* password, uint32_t passwordLength,
                    const uint8_t* salt, uint32_t tagLength, uint8_t h0[64]) {
    uint8_t head[24];
    const uint32_t fields[6] = {1, tagLength, m, t, kVersion, kTypeD};
    for (int i = 0; i < 6; ++i) StoreLe32(head + 4 * i, fields[i]);
    uint8_t number[4];
    Blake2bState state;
    int32_t rc = Blake2bInitState(&state, 64);
    if (rc == kOk) rc = Blake2bFeed(&state, head, sizeof head);
    StoreLe32(number, passwordLength);
    if (rc == kOk) rc = Blake2bFeed(&state, number, 4);
    if (rc == kOk) rc = Blake2bFeed(&state, password, passwordLength);
    StoreLe32(number, kSaltLength);
    if (rc == kOk) rc = Blake2bFeed(&state, number, 4);
    if (rc == kOk) rc = Blake2bFeed(&state, salt, kSaltLength);
    StoreLe32(number, 0);  // secret, then associated data: both empty
    if (rc == kOk) rc = Blake2bFeed(&state, number, 4);
    if (rc == kOk) rc = Blake2bFeed(&state, number, 4);
    if (rc == kOk) rc = Blake2bFinish(&state, h0, 64);
    Wipe(&state, sizeof state);
    return rc;
}

int32_t FirstBlocks(const uint8_t h0[64], Block* memory) {
    uint8_t input[72];
    uint8_t bytes[1024];
    std::memcpy(input, h0, 64);
    StoreLe32(input + 68, 0);  // lane
    int32_t rc = kOk;
    for (uint32_t i = 0; i < 2 && rc == kOk; ++i) {
        StoreLe32(input + 64, i);
        rc = Blake2bExpand(bytes, sizeof bytes, input, sizeof input);
        if (rc == kOk) BytesToBlock(bytes, memory[i]);
    }
    Wipe(bytes, sizeof bytes);
    Wipe(input, sizeof input);
    return rc;
}

void FillMemory(Block* memory, uint32_t laneLength, uint32_t passes) {
    const uint32_t segment = laneLength / 4;
    for (uint32_t pass = 0; pass < passes; ++pass) {
        for (uint32_t slice = 0; slice < 4; ++slice) {
            const uint32_t start = pass != 0 && slice != 3 ? (slice + 1) * segment : 0;
            for (uint32_t index = pass == 0 && slice == 0 ? 2 : 0; index < segment; ++index) {
                const uint32_t j = slice * segment + index;
                const uint32_t prev = j == 0 ? laneLength - 1 : j - 1;
                // Blocks this one may reference: all finished ones of the lane
                // except the one just before it.
                const uint64_t area = pass == 0 ? uint64_t{slice} * segment + index - 1
                                                : uint64_t{laneLength} - segment + index - 1;
                const uint64_t j1 = memory[prev].v[0] & 0xFFFFFFFFu;
                const uint64_t x = (j1 * j1) >> 32;
                const uint64_t y = (area * x) >> 32;
                const uint64_t position = area - 1 - y;
                const uint32_t ref = static_cast<uint32_t>((start + position) % laneLength);
                FillBlock(memory[prev], memory[ref], memory[j], pass != 0);
            }
        }
    }
}

int32_t Derive(uint32_t t, uint32_t m, const uint8_t* password, uint32_t passwordLength,
               const uint8_t* salt, uint8_t* tag, uint32_t tagLength) {
    if ((password == nullptr && passwordLength > 0) || salt == nullptr) return kArgon2NullPointer;
    if (m < 8) return kArgon2MemoryTooLittle;
    if (t == 0) return kArgon2CounterTooLittle;

    const uint32_t laneLength = 4 * (m / 4);
    Block* memory = static_cast<Block*>(std::calloc(laneLength, sizeof(Block)));
    if (memory == nullptr) return kArgon2MallocFails;

    uint8_t h0[64];
    int32_t rc = InitialHash(t, m, password, passwordLength, salt, tagLength, h0);
    if (rc == kOk) rc = FirstBlocks(h0, memory);
    if (rc == kOk) {
        FillMemory(memory, laneLength, t);
        uint8_t last[1024];
        BlockToBytes(memory[laneLength - 1], last);
        rc = Blake2bExpand(tag, tagLength, last, sizeof last);
        Wipe(last, sizeof last);
    }
    Wipe(h0, sizeof h0);
    Wipe(memory, size_t{laneLength} * sizeof(Block));
    std::free(memory);
    return rc;
}

}  // namespace

int32_t Argon2dDerive(uint32_t passes, uint32_t memoryKiB, const uint8_t* password,
                      uint32_t passwordLength, const uint8_t* salt, uint8_t* out,
                      uint32_t tagLength) {
    if (tagLength < 4) return kArgon2OutputTooShort;
    uint8_t* tag = static_cast<uint8_t*>(std::malloc(tagLength));
    if (tag == nullptr) return kArgon2MallocFails;
    const int32_t rc = Derive(passes, memoryKiB, password, passwordLength, salt, tag, tagLength);
    if (rc == kOk && out != nullptr) std::memcpy(out, tag, tagLength);
    Wipe(tag, tagLength);
    std::free(tag);
    return rc;
}

}  // namespace core
