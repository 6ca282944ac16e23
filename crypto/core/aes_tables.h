#pragma once
// The 256-entry byte tables of the byte-oriented AES: the S-box, its inverse
// and the GF(2^8) products by 2 and 3 (MixColumns) and by 9, 11, 13 and 14
// (InvMixColumns). They are computed at compile time from the field
// arithmetic of FIPS 197 section 4, so no table is typed in by hand.
#include <array>
#include <cstdint>

namespace core::aes {

using ByteTable = std::array<uint8_t, 256>;

constexpr uint8_t Xtime(uint8_t a) {
    return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0x00));
}

constexpr uint8_t GfMultiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b != 0) {
        if (b & 1) product ^= a;
        a = Xtime(a);
        b >>= 1;
    }
    return product;
}

constexpr uint8_t RotateLeft(uint8_t a, int n) {
    return static_cast<uint8_t>((a << n) | (a >> (8 - n)));
}

// The multiplicative inverse is x^254, since x^255 = 1 for every x other than 0;
// 0^254 = 0 gives the table's value for 0. Square and multiply keeps the
// compile-time evaluation short.
constexpr uint8_t GfInverse(uint8_t x) {
    uint8_t result = 1;
    for (int exponent = 254; exponent != 0; exponent >>= 1) {
        if (exponent & 1) result = GfMultiply(result, x);
        x = GfMultiply(x, x);
    }
    return result;
}

constexpr ByteTable MakeSbox() {
    ByteTable box{};
    for (int x = 0; x < 256; ++x) {
        const uint8_t inverse = GfInverse(static_cast<uint8_t>(x));
        box[x] = static_cast<uint8_t>(inverse ^ RotateLeft(inverse, 1) ^ RotateLeft(inverse, 2) ^
                                      RotateLeft(inverse, 3) ^ RotateLeft(inverse, 4) ^ 0x63);
    }
    return box;
}

constexpr ByteTable MakeInverse(const ByteTable& box) {
    ByteTable inverse{};
    for (int x = 0; x < 256; ++x) inverse[box[x]] = static_cast<uint8_t>(x);
    return inverse;
}

constexpr ByteTable MakeProduct(uint8_t factor) {
    ByteTable table{};
    for (int x = 0; x < 256; ++x) table[x] = GfMultiply(static_cast<uint8_t>(x), factor);
    return table;
}

inline constexpr ByteTable kSbox = MakeSbox();
inline constexpr ByteTable kInvSbox = MakeInverse(kSbox);
inline constexpr ByteTable kMul2 = MakeProduct(2);
inline constexpr ByteTable kMul3 = MakeProduct(3);
inline constexpr ByteTable kMul9 = MakeProduct(9);
inline constexpr ByteTable kMul11 = MakeProduct(11);
inline constexpr ByteTable kMul13 = MakeProduct(13);
inline constexpr ByteTable kMul14 = MakeProduct(14);

static_assert(kSbox[0x00] == 0x63 && kSbox[0x53] == 0xED && kSbox[0xFF] == 0x16);
static_assert(kInvSbox[0x63] == 0x00 && kInvSbox[0xED] == 0x53);

}  // namespace core::aes
