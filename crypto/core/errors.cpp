#include "crypto/core/errors.h"

#include <cstring>
#include <string_view>

namespace core {
namespace {

struct Entry {
    int32_t code;
    std::string_view text;
};

constexpr std::string_view kSubtraction = "a is less than b in subtraction!";
constexpr std::string_view kDecrement = "can't decrement a because a == 0!";
constexpr std::string_view kMontgomery = "in Montgomery, m' is not equal to -m^(-1) mod 2^16 !";
constexpr std::string_view kWrongHmac = "The HMAC is not the right one!";
constexpr std::string_view kRsaTooLong = "in RSA, the message is too long!";

constexpr Entry kMessages[] = {
    // General: big numbers, encodings, random source.
    {-4, kSubtraction},
    {-5, kDecrement},
    {-7, "division by zero !"},
    {-8, "a modulus is equal to zero!"},
    {-9, kMontgomery},
    {-10, "the gcd of a and mod is not 1 so it's impossible to compute the inverse of Mod(a, mod)"},
    {-11, "in Barrett reduction, the element x is too long!"},
    {-12, "the generation of random int fails!"},
    {-13, "the second operand is too little in division!"},
    {-14, "the divisor is greater than the dividend in division!"},
    {-15, "in Montgomery, the operands x and y are too big compared to m!"},
    {-16, "the input of HexaToChar is not hexa!"},
    {-17, "the generation of random int 2 fails!"},
    // SHA-2 and its HMAC.
    {-100, "in SHA 2, the operands must be 32-bit elements or 64-bit elements!"},
    {-104, "SHA 2 versions are 256, 384 or 512!"},
    {-105, "in SHA 2, the message to hash is too long !"},
    {-106, kWrongHmac},
    {-107, "sha-1 is supported only for signature verification and decryption"},
    // AES.
    {-200, "in AES GCM, the tag is not the right one!"},
    {-204, "in AES, the length of the tag T must be < 128 bits!"},
    {-205, "in AES MAC, the tag is not the right one!"},
    {-206, "AES uses key size 128, 192 or 256 bits!"},
    {-207, "in AES, the cipher text must have a length multiple of 128 bits!"},
    {-208, "in AES, the cipher text cannot be decrypted because the padding is not correct!"},
    {-209, "in AES, the mode must be ECB, CBC, OFB CTR, MAC or GCM!"},
    {-210, "in AES, the length of the block is not a multiple of 16!"},
    {-211, "in AES with no padding, the length of the clear text must be a multiple of 16 bytes!"},
    {-212, "in AES with IV in cipher text, the cipher text must have a length minimum 16 bytes!"},
    // RSA.
    {-300, "the length of the RSA modulus must be 2048, 3072 or 4096 ! \n"},
    {-304, "in RSA, the parameter e must be odd and 2^16 < e < 2^256"},
    {-307, "in RSA, the length of the seed is not good!"},
    {-309, "the generation of the provable primes fails"},
    {-310, "the generation of a random prime fails"},
    {-313, "in RSA OAEP, the label is too long!"},
    {-314, "in RSA OAEP, the decryption fails!"},
    {-315, "in RSA PSS, the encoding fails!"},
    {-316, "in RSA PSS, the signature is inconsistent!"},
    {-317, "in Convertchartointbase8_rsa, the length of M < len_m"},
    {-318, kRsaTooLong},
    {-319, kRsaTooLong},
    {-320, kRsaTooLong},
    {-321, kRsaTooLong},
    {-322, kRsaTooLong},
    {-323, kRsaTooLong},
    {-324, kRsaTooLong},
    {-325, kRsaTooLong},
    {-326, kRsaTooLong},
    {-327, kRsaTooLong},
    // Ed25519.
    {-400, "in Ed25519, the element of the field is too long!"},
    {-404, "a is not modulo Modulo_Field25519!"},
    {-405, "in Ed25519, P1.z == 0 or P2.z == 0!"},
    {-406, "in Ed25519, P1 == P2!"},
    {-407, "in Ed25519, the input is not a square!"},
    {-408, "in Ed25519, the signature is not valid!"},
    {-409, "in Ed25519, in the current point, x*y != z*t"},
    // Salsa, SPECK, ECIES.
    {-500, "in Salsa, the input of the function has a bad length!"},
    {-600, "in SPECK, wordSizeBits and/or keySizeBytes are not supported by the algorithm!"},
    {-604, "in SPECK, the length of the key words must be wordSizeBits*keySizeBytes/16!"},
    {-605, "in SPECK, the length of the cipher must be a multiple of wordSizeBits/4!"},
    {-606, "in SPECK, the cipher text cannot be decrypted because the padding is not correct!"},
    {-607, "in SPECK, the mode must be ECB, CBC or OFB!"},
    {-608, "in SPECK, the blocks have not the right length!"},
    {-609, "in SPECK with no padding, the length of the clear text must be a multiple of "
           "wordSizeBits/4 bytes!"},
    {-700, "in ECIES 255-19, the length of the cipher must be a multiple of 16!"},
    {-800, "in ECIES 511-187, the length of the cipher must be a multiple of 16!"},
    // Ed511187 and prime-curve arithmetic.
    {-900, "in Ed511187, the element of the field is too long!"},
    {-904, "a is not modulo Modulo_Field511187!"},
    {-905, "in Ed511187, P1.z == 0 or P2.z == 0!"},
    {-906, "in Ed511187, P1 == P2!"},
    {-907, "in Ed511187, the input is not a square!"},
    {-908, "in Ed511187, the signature is not valid!"},
    {-910, "in Ed511187, the calculated point is not in the curve!"},
    {-911, kSubtraction},
    {-912, kDecrement},
    {-913, kMontgomery},
    {-914, "in a + b mod p256, a or b is greater than p256"},
    {-915, "in a - b mod p256, a or b is greater than p256"},
    {-916, "Try to invert 0"},
    {-917, "Try to affinify the infinite point"},
    {-918, "Try to compute dS with d >= p256"},
    {-919, "Try to compute r = a mod p256 with r >= 2^256"},
    {-920, "The public key is the infinity point in signature verification"},
    {-921, "The public key isn't on curve"},
    {-922, "nG != O"},
    {-923, "r not in [1; n - 1]"},
    {-924, "s not in [1; n - 1]"},
    {-925, "The verification fails!"},
    {-926, "The test fails!"},
    {-927, "The point has not the right format!"},
    {-928, "The supported curve are p-256, p-384 and p-521."},
    // SHA-3, PBKDF2.
    {-1004, "the length of the output is not supported by these SHA-3 basic functions. Please use "
            "SHA3XOF instead."},
    {-1005, "the version is not supported by these SHA-3 Extendable-Output functions. Please use "
            "version = 256 or version = 512."},
    {-1006, "the rate is not the right !"},
    {-1007, kWrongHmac},
    {-1104, "In pbkdf2, the hash function should be sha2 or sha3!"},
    // Argon2, BLAKE2b.
    {-1405, "In Argon2, the output is too short, must be >= 4!"},
    {-1406, "In Argon2, the state is a reused state!"},
    {-1409, "In Argon2, the memory must be >= 8!"},
    {-1410, "In Argon2, the memory is too much!"},
    {-1411, "In Argon2, the counter must be >= 1!"},
    {-1506, "In Blake2b, the state is a reused state!"},
    {-1513, "In Blake2b, the parameters are incorrect!"},
    // Signatures over prime curves.
    {-1704, "The RFC 5480 recommends SHA-256 for p-256 curve, SHA-384 for p-384 curve and SHA-512 "
            "for p-521 curve."},
};

// The three meanings shared by every family are decided before the table.
std::string_view TextOf(int32_t code) {
    switch (code % 100) {
        case -3: return "a file fails to open!";
        case -2: return "a malloc FAILS!";
        case -1: return "a pointer is NULL!";
    }
    for (const Entry& entry : kMessages)
        if (entry.code == code) return entry.text;
    return {};
}

}  // namespace

void ErrorCodeMessage(int32_t code, char* destination) {
    constexpr std::string_view kPrefix = "error : ";
    constexpr std::string_view kUnknown = "unknown error!";
    std::memset(destination, 0, kErrorMessageSize);
    const std::string_view text = TextOf(code);
    if (text.empty()) {
        std::memcpy(destination, kUnknown.data(), kUnknown.size());
        return;
    }
    std::memcpy(destination, kPrefix.data(), kPrefix.size());
    std::memcpy(destination + kPrefix.size(), text.data(), text.size());
}

}  // namespace core
