#include "crypto/core/sha2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromText(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string Hex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

std::string Digest(const Bytes& m, uint32_t bits) {
    uint8_t out[64];
    const uint8_t dummy = 0;
    EXPECT_EQ(
        core::Sha2Digest(m.empty() ? &dummy : m.data(), static_cast<uint32_t>(m.size()), bits, out),
        core::kOk);
    return Hex(out, bits / 8);
}

// Bytes (7i + 1) mod 256: a pattern with no period near the block length.
Bytes Pattern(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

// Runs every test of a fixture with both SHA-256 paths where the processor has
// the SHA extensions; restores the start-up choice afterwards.
class BothPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { core::Sha256ForcePortable(GetParam()); }
    void TearDown() override { core::Sha256ForcePortable(false); }
};

struct DigestCase {
    const char* name;
    Bytes message;
    uint32_t bits;
    const char* hex;
};

const std::string k448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const std::string k896 =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopq"
    "rsmnopqrstnopqrstu";

// FIPS 180-4 examples (NIST CSRC "Examples with intermediate values"), and
// messages around the padding boundaries whose digests come from Python's
// hashlib.
const std::vector<DigestCase>& DigestCases() {
    static const std::vector<DigestCase> cases = {
        {"empty256", {}, 256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"empty384",
         {},
         384,
         "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f1"
         "4898b95b"},
        {"empty512",
         {},
         512,
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2"
         "877eec2f63b931bd47417a81a538327af927da3e"},
        {"abc256", FromText("abc"), 256,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abc384", FromText("abc"), 384,
         "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
         "34c825a7"},
        {"abc512", FromText("abc"), 512,
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
         "a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {"m448_256", FromText(k448), 256,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"m896_384", FromText(k896), 384,
         "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa"
         "91746039"},
        {"m896_512", FromText(k896), 512,
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99de"
         "c4b5433ac7d329eeb6dd26545e96e55b874be909"},
        {"million_a256", Bytes(1000000, 'a'), 256,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {"million_a384", Bytes(1000000, 'a'), 384,
         "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd8"
         "7f3d8985"},
        {"million_a512", Bytes(1000000, 'a'), 512,
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432c"
         "e577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
        // SHA-256: 55 bytes still fit the last block with the length field, 56 do not.
        {"len55_256", Pattern(55), 256,
         "16fa57a0a3423a715d594516339f36189d6b5f93754a9714fef202616a9fabfe"},
        {"len56_256", Pattern(56), 256,
         "c37b44e5f1b18554b36966f4f8e08bfbf3164c4b6c10374d12d89850892073c5"},
        {"len63_256", Pattern(63), 256,
         "bbba992d2c85af960fb2987a1fd05e0aa82a3db3c740dd8982a9e273b75e36a3"},
        {"len64_256", Pattern(64), 256,
         "66bd4633ed6f71c4ecfa4763bf7ba1c8ec7612de9aa6c0578a7b675207c71e0b"},
        {"len65_256", Pattern(65), 256,
         "9f7dc47107b750a1f3d35db5d9547f24ef40da5b731b9540d4f43710a154f6c9"},
        // SHA-384/512: the boundary is at 111/112 bytes, a full block at 128.
        {"len111_384", Pattern(111), 384,
         "89c1d81d1cbc65ca869e61315165f6c3c2468b518cd03f641fac6cf9d1e857889807399d23113dc8ba27f5ea"
         "c8b68ac2"},
        {"len112_384", Pattern(112), 384,
         "7b412ee8bc1953a28becb4f3417b3f0ceb41b4fc74d40f3054156e7cb3220b9adf7589cb9a92bc17537873b7"
         "ce1161c8"},
        {"len128_384", Pattern(128), 384,
         "147ae27db2fd5e4381c21983e753d8f761190fac65a833746ff2558abc9c3244279b8c880537ca2990aacee7"
         "bf20358e"},
        {"len111_512", Pattern(111), 512,
         "3dfde1184fd99f233f98be4250f4edb9b535157909b668334370742204d97e047f1fd6a74bb5ba447f337286"
         "f421d9af957811f7ef62a458771457da126cb65e"},
        {"len112_512", Pattern(112), 512,
         "acc96c509e6d01787330a4c6a241e2cda9dcc2529dbe4288dbbcc3812133233c4698831127cf6ed0b333632b"
         "22715a5ce53a0a1002a684367b71c98aa6d1d900"},
        {"len127_512", Pattern(127), 512,
         "a315910cb7812a8e66d87c0c49a42d93dbe97bf0240ee995792292c529256d93f40199a59b3f6266343f3026"
         "51fea1589e2040a2f3756126d3fe4f421a72079d"},
        {"len128_512", Pattern(128), 512,
         "31f33a52b36dc2e70c83b604fa999a5cabf33bf70e4556fbed7bff10870c1b7b241dd3f15d1ade24599f068f"
         "c58ab51e0028b0f0c98895c23358e8dee032ce06"},
        {"len129_512", Pattern(129), 512,
         "748fec3280c9165199f8c260e87eea61cbbe1b23ef1567c220df65b37e3fcced15fa7f63c9a381fde38ddd4e"
         "b2b09b67f77d03c5e0a639b487e8c48343590c97"},
    };
    return cases;
}

class Sha2DigestVectors : public BothPaths {};

TEST_P(Sha2DigestVectors, MatchPublishedDigests) {
    for (const DigestCase& c : DigestCases()) {
        EXPECT_EQ(Digest(c.message, c.bits), c.hex) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha2DigestVectors, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Portable" : "Default"; });

// Hashes `m` with the block functions and the caller's own padding, the way a
// stream is hashed block by block.
std::string BlockByBlock(const Bytes& m, uint32_t bits) {
    const size_t block = bits == 256 ? 64 : 128;
    const size_t lengthField = bits == 256 ? 8 : 16;
    Bytes padded = m;
    padded.push_back(0x80);
    while (padded.size() % block != block - lengthField) padded.push_back(0);
    padded.resize(padded.size() + lengthField - 8, 0);
    const uint64_t bitLength = uint64_t{m.size()} * 8;
    for (int i = 7; i >= 0; --i) padded.push_back(static_cast<uint8_t>(bitLength >> (8 * i)));

    uint8_t out[64];
    if (bits == 256) {
        uint32_t k[64];
        uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
        core::Sha256RoundConstants(k);
        for (size_t off = 0; off < padded.size(); off += 64) {
            core::Sha256CompressBlock(padded.data() + off, k, h);
        }
        for (int i = 0; i < 32; ++i) out[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    } else {
        uint64_t k[80];
        const uint64_t h384[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                  0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                  0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};
        const uint64_t h512[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                  0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                  0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
        uint64_t h[8];
        std::memcpy(h, bits == 384 ? h384 : h512, sizeof h);
        core::Sha512RoundConstants(k);
        for (size_t off = 0; off < padded.size(); off += 128) {
            core::Sha512CompressBlock(padded.data() + off, k, h);
        }
        for (int i = 0; i < 64; ++i) out[i] = static_cast<uint8_t>(h[i / 8] >> (56 - 8 * (i % 8)));
    }
    return Hex(out, bits / 8);
}

class Sha2BlockFunctions : public BothPaths {};

TEST_P(Sha2BlockFunctions, AgreeWithOneShotAtEveryLengthUpToThreeBlocks) {
    for (uint32_t bits : {256u, 384u, 512u}) {
        for (size_t n = 0; n <= 3 * 128 + 1; ++n) {
            const Bytes m = Pattern(n);
            ASSERT_EQ(BlockByBlock(m, bits), Digest(m, bits)) << bits << " bits, " << n << " bytes";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha2BlockFunctions, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Portable" : "Default"; });

TEST(Sha2Paths, ShaExtensionsAndPortableGiveIdenticalDigests) {
    if (!core::Sha256UsesShaNi()) GTEST_SKIP() << "no SHA extensions on this processor";
    std::mt19937 rng(20261209);
    for (int i = 0; i < 300; ++i) {
        Bytes m(rng() % 1200);
        for (auto& b : m) b = static_cast<uint8_t>(rng());
        const std::string fast = Digest(m, 256);
        core::Sha256ForcePortable(true);
        const std::string portable = Digest(m, 256);
        core::Sha256ForcePortable(false);
        ASSERT_EQ(fast, portable) << m.size() << " bytes";
    }
}

TEST(Sha2Paths, CompressBlockUsesTheCallersConstantsOnBothPaths) {
    // A table with one constant changed must change the result on both paths
    // in the same way: the fast path may not fall back on its own copy.
    uint32_t k[64];
    core::Sha256RoundConstants(k);
    k[37] ^= 0x01000000;
    const Bytes block = Pattern(64);
    uint32_t fast[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t portable[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t standard[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    core::Sha256CompressBlock(block.data(), k, fast);
    core::Sha256ForcePortable(true);
    core::Sha256CompressBlock(block.data(), k, portable);
    core::Sha256RoundConstants(k);
    core::Sha256CompressBlock(block.data(), k, standard);
    core::Sha256ForcePortable(false);
    EXPECT_EQ(0, std::memcmp(fast, portable, sizeof fast));
    EXPECT_NE(0, std::memcmp(fast, standard, sizeof fast));
}

TEST(Sha2Constants, LoadersWriteTheFipsTables) {
    uint32_t k256[64];
    uint64_t k512[80];
    core::Sha256RoundConstants(k256);
    core::Sha512RoundConstants(k512);
    EXPECT_EQ(k256[0], 0x428a2f98u);
    EXPECT_EQ(k256[63], 0xc67178f2u);
    EXPECT_EQ(k512[0], 0x428a2f98d728ae22u);
    EXPECT_EQ(k512[79], 0x6c44198c4a475817u);
    // SHA-256 constants are the high halves of the first 64 SHA-512 constants.
    for (int i = 0; i < 64; ++i) EXPECT_EQ(k256[i], k512[i] >> 32) << i;
}

struct HmacCase {
    int number;
    Bytes key;
    Bytes data;
    const char* hex256;
    const char* hex384;
    const char* hex512;
};

// RFC 4231 section 4; case 5 is published truncated to 128 bits.
const std::vector<HmacCase>& HmacCases() {
    static const std::vector<HmacCase> cases = {
        {1, Bytes(20, 0x0b), FromText("Hi There"),
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7",
         "afd03944d84895626b0825f4ab46907f15f9dadbe4101ec682aa034c7cebc59cfaea9ea9076ede7f4af152e8"
         "b2fa9cb6",
         "87aa7cdea5ef619d4ff0b4241a1d6cb02379f4e2ce4ec2787ad0b30545e17cdedaa833b7d6b8a702038b274e"
         "aea3f4e4be9d914eeb61f1702e696c203a126854"},
        {2, FromText("Jefe"), FromText("what do ya want for nothing?"),
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843",
         "af45d2e376484031617f78d2b58a6b1b9c7ef464f5a01b47e42ec3736322445e8e2240ca5e69e2c78b3239ec"
         "fab21649",
         "164b7a7bfcf819e2e395fbe73b56e0a387bd64222e831fd610270cd7ea2505549758bf75c05a994a6d034f65"
         "f8f0e6fdcaeab1a34d4a6b4b636e070a38bce737"},
        {3, Bytes(20, 0xaa), Bytes(50, 0xdd),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe",
         "88062608d3e6ad8a0aa2ace014c8a86f0aa635d947ac9febe83ef4e55966144b2a5ab39dc13814b94e3ab6e1"
         "01a34f27",
         "fa73b0089d56a284efb0f0756c890be9b1b5dbdd8ee81a3655f83e33b2279d39bf3e848279a722c806b485a4"
         "7e67c807b946a337bee8942674278859e13292fb"},
        {4, Bytes{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                  14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25},
         Bytes(50, 0xcd), "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b",
         "3e8a69b7783c25851933ab6290af6ca77a9981480850009cc5577c6e1f573b4e6801dd23c4a7d679ccf8a386"
         "c674cffb",
         "b0ba465637458c6990e5a8c5f61d4af7e576d97ff94b872de76f8050361ee3dba91ca5c11aa25eb4d679275c"
         "c5788063a5f19741120c4f2de2adebeb10a298dd"},
        {5, Bytes(20, 0x0c), FromText("Test With Truncation"), "a3b6167473100ee06e0c796c2955552b",
         "3abf34c3503b2a23a46efc619baef897", "415fad6271580a531d4179bc891d87a6"},
        {6, Bytes(131, 0xaa), FromText("Test Using Larger Than Block-Size Key - Hash Key First"),
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54",
         "4ece084485813e9088d2c63a041bc5b44f9ef1012a2b588f3cd11f05033ac4c60c2ef6ab4030fe8296248df1"
         "63f44952",
         "80b24263c7c1a3ebb71493c1dd7be8b49b46d1f41b4aeec1121b013783f8f3526b56d037e05f2598bd0fd221"
         "5d6a1e5295e64f73f63f0aec8b915a985d786598"},
        {7, Bytes(131, 0xaa),
         FromText("This is a test using a larger than block-size key and a larger than block-size "
                  "data. The key needs to be hashed before being used by the HMAC algorithm."),
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2",
         "6617178e941f020d351e2f254e8fd32c602420feb0b8fb9adccebb82461e99c5a678cc31e799176d3860e611"
         "0c46523e",
         "e37b6a775dc87dbaa4dfa9f96e5e3ffddebd71f8867289865df5a32d20cdc944b6022cac3c4982b10d5eeb55"
         "c3e4de15134676fb6de0446065c97440fa8c6a58"},
    };
    return cases;
}

class Sha2HmacVectors : public ::testing::TestWithParam<HmacCase> {};

TEST_P(Sha2HmacVectors, MatchRfc4231AndVerify) {
    const HmacCase& c = GetParam();
    const std::pair<uint32_t, std::string> sizes[] = {
        {256, c.hex256}, {384, c.hex384}, {512, c.hex512}};
    for (const auto& [bits, hex] : sizes) {
        uint8_t mac[64];
        ASSERT_EQ(core::Sha2Hmac(c.data.data(), static_cast<uint32_t>(c.data.size()), c.key.data(),
                                 static_cast<uint32_t>(c.key.size()), bits, mac),
                  core::kOk);
        EXPECT_EQ(Hex(mac, hex.size() / 2), hex) << bits;
        EXPECT_EQ(
            core::Sha2HmacVerify(c.data.data(), static_cast<uint32_t>(c.data.size()), c.key.data(),
                                 static_cast<uint32_t>(c.key.size()), bits, mac),
            core::kOk)
            << bits;
    }
}

INSTANTIATE_TEST_SUITE_P(Rfc4231, Sha2HmacVectors, ::testing::ValuesIn(HmacCases()),
                         [](const auto& info) {
                             return "Case" + std::to_string(info.param.number);
                         });

std::string Mac(const Bytes& m, const Bytes& key, uint32_t bits) {
    uint8_t mac[64];
    EXPECT_EQ(core::Sha2Hmac(m.data(), static_cast<uint32_t>(m.size()), key.data(),
                             static_cast<uint32_t>(key.size()), bits, mac),
              core::kOk);
    return Hex(mac, bits / 8);
}

TEST(Sha2HmacKeys, KeyOfBlockLengthIsUsedAsIsAndLongerKeysAreDigested) {
    const Bytes m = FromText("message");
    for (uint32_t bits : {256u, 384u, 512u}) {
        const size_t block = bits == 256 ? 64 : 128;
        // A B-byte key is not digested: it differs from the key of its digest.
        const Bytes exact = Pattern(block);
        Bytes digested(bits / 8);
        ASSERT_EQ(
            core::Sha2Digest(exact.data(), static_cast<uint32_t>(block), bits, digested.data()),
            core::kOk);
        EXPECT_NE(Mac(m, exact, bits), Mac(m, digested, bits)) << bits;
        // A (B + 1)-byte key is replaced by its digest.
        const Bytes longer = Pattern(block + 1);
        ASSERT_EQ(core::Sha2Digest(longer.data(), static_cast<uint32_t>(block + 1), bits,
                                   digested.data()),
                  core::kOk);
        EXPECT_EQ(Mac(m, longer, bits), Mac(m, digested, bits)) << bits;
        // An empty key is a block of zeros, the same as any all-zero key up to B bytes.
        EXPECT_EQ(Mac(m, Bytes{}, bits), Mac(m, Bytes(block, 0), bits)) << bits;
    }
}

TEST(Sha2HmacVerify, AnyChangedByteWithinTheDigestIsRefusedAndExtraBytesAreIgnored) {
    const Bytes m = FromText("what do ya want for nothing?");
    const Bytes key = FromText("Jefe");
    for (uint32_t bits : {256u, 384u, 512u}) {
        uint8_t mac[80];
        ASSERT_EQ(
            core::Sha2Hmac(m.data(), static_cast<uint32_t>(m.size()), key.data(), 4, bits, mac),
            core::kOk);
        std::memset(mac + bits / 8, 0xEE, sizeof mac - bits / 8);
        EXPECT_EQ(core::Sha2HmacVerify(m.data(), static_cast<uint32_t>(m.size()), key.data(), 4,
                                       bits, mac),
                  core::kOk);
        for (uint32_t i = 0; i < bits / 8; ++i) {
            mac[i] ^= 0x01;
            EXPECT_EQ(core::Sha2HmacVerify(m.data(), static_cast<uint32_t>(m.size()), key.data(), 4,
                                           bits, mac),
                      core::kSha2HmacMismatch)
                << bits << " bits, byte " << i;
            mac[i] ^= 0x01;
        }
    }
}

// Inputs that must be refused, with the code that the first failing check gives.
struct ErrorCase {
    const char* name;
    int32_t (*call)();
    int32_t expected;
};

const uint8_t kByte[1] = {0};
uint8_t gOut[64];

const ErrorCase kErrorCases[] = {
    {"DigestNullMessage", [] { return core::Sha2Digest(nullptr, 0, 256, gOut); },
     core::kSha2NullPointer},
    {"DigestNullOutput", [] { return core::Sha2Digest(kByte, 1, 256, nullptr); },
     core::kSha2NullPointer},
    {"DigestNullBeforeSize", [] { return core::Sha2Digest(kByte, 1, 224, nullptr); },
     core::kSha2NullPointer},
    {"Digest224", [] { return core::Sha2Digest(kByte, 1, 224, gOut); }, core::kSha2BadSize},
    {"Digest0", [] { return core::Sha2Digest(kByte, 1, 0, gOut); }, core::kSha2BadSize},
    {"HmacSizeBeforeNull", [] { return core::Sha2Hmac(nullptr, 5, nullptr, 200, 224, nullptr); },
     core::kSha2BadSize},
    {"HmacNullLongKey", [] { return core::Sha2Hmac(kByte, 1, nullptr, 129, 512, gOut); },
     core::kSha2NullPointer},
    {"HmacNullShortKey", [] { return core::Sha2Hmac(kByte, 1, nullptr, 3, 256, gOut); },
     core::kSha2NullPointer},
    {"HmacNullMessage", [] { return core::Sha2Hmac(nullptr, 3, kByte, 1, 256, gOut); },
     core::kSha2NullPointer},
    {"HmacNullMac", [] { return core::Sha2Hmac(kByte, 1, kByte, 1, 384, nullptr); },
     core::kSha2NullPointer},
    {"VerifySize", [] { return core::Sha2HmacVerify(kByte, 1, kByte, 1, 1024, gOut); },
     core::kSha2BadSize},
    {"VerifyNullExpected", [] { return core::Sha2HmacVerify(kByte, 1, kByte, 1, 256, nullptr); },
     core::kSha2NullPointer},
};

class Sha2Errors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Sha2Errors, ReturnTheCodeOfTheFirstFailingCheckAndWriteNothing) {
    std::memset(gOut, 0x5A, sizeof gOut);
    EXPECT_EQ(GetParam().call(), GetParam().expected);
    for (uint8_t b : gOut) ASSERT_EQ(b, 0x5A);
}

INSTANTIATE_TEST_SUITE_P(Table, Sha2Errors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Sha2Hmac, EmptyMessageAndEmptyKeyMayComeWithoutPointers) {
    uint8_t a[32];
    uint8_t b[32];
    ASSERT_EQ(core::Sha2Hmac(nullptr, 0, nullptr, 0, 256, a), core::kOk);
    ASSERT_EQ(core::Sha2Hmac(kByte, 0, kByte, 0, 256, b), core::kOk);
    EXPECT_EQ(Hex(a, 32), Hex(b, 32));
    // RFC 4231 has no empty case; this value is HMAC-SHA-256 with an empty key and message
    // as given by Python's hmac module.
    EXPECT_EQ(Hex(a, 32), "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
}

}  // namespace
