// TSHA2Hash and TArgon2KeyDerivation against OpenSSL libcrypto and the
// reference libargon2 on random inputs.
#include "crypto/HashObj.h"

#include <argon2.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "rtl/Stream.h"

namespace {

using rtl::String;
using Bytes = std::vector<uint8_t>;

const EVP_MD* Md(int32_t bits) {
    return bits == 256 ? EVP_sha256() : bits == 384 ? EVP_sha384() : EVP_sha512();
}

Bytes OpenSslDigest(const Bytes& m, int32_t bits) {
    Bytes out(EVP_MAX_MD_SIZE);
    unsigned int n = 0;
    EXPECT_EQ(EVP_Digest(m.data(), m.size(), out.data(), &n, Md(bits), nullptr), 1);
    out.resize(n);
    return out;
}

String OpenSslBase64(const Bytes& b) {
    std::string out(4 * ((b.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), b.data(),
                                  static_cast<int>(b.size()));
    return String(out.begin(), out.begin() + n);
}

String Hexa(const Bytes& b) {
    static const char digits[] = "0123456789ABCDEF";
    String s;
    for (const uint8_t x : b) {
        s += static_cast<char16_t>(digits[x >> 4]);
        s += static_cast<char16_t>(digits[x & 15]);
    }
    return s;
}

// A random password: ASCII, Latin-1, other BMP characters and surrogate pairs.
String RandomPassword(std::mt19937& rng) {
    static const char16_t pool[] = u"aZ09 !~\u00E9\u00FF\u20AC\u0416\u4E2D";
    String s;
    const size_t n = rng() % 24;
    for (size_t i = 0; i < n; ++i) {
        if (rng() % 10 == 0) {
            s += u"\U0001F600";
        } else {
            s += pool[rng() % (std::size(pool) - 1)];
        }
    }
    return s;
}

// 64 upper-case hexadecimal digits, as the package builder makes them.
String RandomSaltText(std::mt19937& rng) {
    Bytes b(32);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return Hexa(b);
}

TEST(PasswordCheckValue, IsBase64OfSha256OfUtf8PasswordAndSaltText) {
    std::mt19937 rng(2024);
    TSHA2Hash locker(256, TConvertType::base64, TUnicode::yesUni);
    for (int i = 0; i < 200; ++i) {
        const String password = RandomPassword(rng);
        const String salt = RandomSaltText(rng);
        const std::string utf8 = rtl::Utf8Encode(password + salt);
        const String expected = OpenSslBase64(OpenSslDigest(Bytes(utf8.begin(), utf8.end()), 256));
        const String value = locker.Hash(password + salt);
        EXPECT_EQ(value.size(), 44u);
        EXPECT_EQ(value, expected) << i;
    }
}

TEST(HashStream, EqualsOpenSslOnRandomStreams) {
    std::mt19937 rng(77);
    for (int i = 0; i < 150; ++i) {
        const int32_t bits = i % 3 == 0 ? 256 : i % 3 == 1 ? 384 : 512;
        Bytes content(rng() % 3 == 0 ? rng() % 300 : rng() % 200000);
        for (auto& x : content) x = static_cast<uint8_t>(rng());
        TSHA2Hash hash(bits, TConvertType::hexa, TUnicode::yesUni);
        rtl::TMemoryStream stream(content);
        stream.SetPosition(static_cast<int64_t>(content.size() / 2));
        EXPECT_EQ(hash.HashStream(stream), Hexa(OpenSslDigest(content, bits)))
            << bits << " bits, " << content.size() << " bytes";
    }
}

Bytes Argon2Reference(uint32_t t, uint32_t m, const std::string& password, const Bytes& salt,
                      uint32_t T) {
    Bytes out(T);
    argon2_context c;
    std::memset(&c, 0, sizeof c);
    c.out = out.data();
    c.outlen = T;
    c.pwd = reinterpret_cast<uint8_t*>(const_cast<char*>(password.data()));
    c.pwdlen = static_cast<uint32_t>(password.size());
    c.salt = const_cast<uint8_t*>(salt.data());
    c.saltlen = 16;
    c.t_cost = t;
    c.m_cost = m;
    c.lanes = 1;
    c.threads = 1;
    c.version = ARGON2_VERSION_13;
    EXPECT_EQ(argon2_ctx(&c, Argon2_d), ARGON2_OK);
    return out;
}

TEST(PackageKey, EqualsTheReferenceLibrary) {
    std::mt19937 rng(9106);
    TArgon2KeyDerivation kd;
    kd.SetOutputSizeBytes(32);
    kd.SetOutputFormat(TConvertType::hexa);
    for (int i = 0; i < 25; ++i) {
        const String password = RandomPassword(rng);
        const String salt = RandomSaltText(rng);
        kd.SetStringSalt(salt);
        const Bytes saltBytes(salt.begin(), salt.begin() + 16);  // ASCII digits
        EXPECT_EQ(kd.GenerateKey(password),
                  Hexa(Argon2Reference(10, 16, rtl::Utf8Encode(password), saltBytes, 32)))
            << i;
    }
}

TEST(GenerateKey, OtherSettingsEqualTheReferenceLibrary) {
    std::mt19937 rng(5);
    for (int i = 0; i < 20; ++i) {
        const uint32_t t = 1 + rng() % 3;
        const uint32_t m = 8 + rng() % 40;
        const uint32_t T = 4 + rng() % 100;
        const String password = RandomPassword(rng);
        String salt;
        Bytes saltBytes(16, 0);
        const size_t n = rng() % 24;
        for (size_t j = 0; j < n; ++j) {
            // Printable ASCII and Latin-1, whose Windows-1252 byte is their own code.
            char16_t c = static_cast<char16_t>(0x20 + rng() % 0xBF);
            if (c >= 0x7F) c += 0x21;
            salt += c;
            if (j < 16) saltBytes[j] = static_cast<uint8_t>(c);
        }
        TArgon2KeyDerivation kd(static_cast<int32_t>(T), salt, static_cast<int32_t>(t),
                                TConvertType::hexa, static_cast<int32_t>(m), TUnicode::yesUni);
        EXPECT_EQ(kd.GenerateKey(password),
                  Hexa(Argon2Reference(t, m, rtl::Utf8Encode(password), saltBytes, T)))
            << "t=" << t << " m=" << m << " T=" << T;
    }
}

}  // namespace
