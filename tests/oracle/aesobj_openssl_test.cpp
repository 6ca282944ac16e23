// TAESEncryption's stream operations against OpenSSL libcrypto on random keys,
// IVs and data, every mode, key length, padding and IV policy, on every block
// implementation: EncryptStream must write what OpenSSL writes (after the IV
// it stores), and DecryptStream must read OpenSSL's output back.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>
#include <random>
#include <tuple>

#include "crypto/AESObj.h"
#include "rtl/Stream.h"
#include "tests/crypto/aes_component_support.h"
#include "tests/oracle/openssl_aes.h"

namespace {

using aes_component_test::Bytes;
using aes_component_test::UseImpl;

// OpenSSL's encryption with its own padding off; PKCS#7 is added here so that
// the stream modes get it too.
Bytes OpenSslEncrypt(TAESType mode, int bits, const Bytes& key, const Bytes& iv, Bytes plain,
                     bool pkcs7) {
    if (pkcs7) plain.insert(plain.end(), 16 - plain.size() % 16, uint8_t(16 - plain.size() % 16));
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    EXPECT_EQ(
        EVP_EncryptInit_ex(ctx.get(), oracle::Cipher(static_cast<uint32_t>(mode), bits), nullptr,
                           key.data(), mode == TAESType::atECB ? nullptr : iv.data()),
        1);
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    Bytes out(plain.size() + 16);
    int n = 0, tail = 0;
    EXPECT_EQ(
        EVP_EncryptUpdate(ctx.get(), out.data(), &n, plain.data(), static_cast<int>(plain.size())),
        1);
    EXPECT_EQ(EVP_EncryptFinal_ex(ctx.get(), out.data() + n, &tail), 1);
    out.resize(static_cast<size_t>(n + tail));
    return out;
}

rtl::String Chars(const Bytes& bytes) {
    rtl::String text;
    for (uint8_t b : bytes) text += static_cast<char16_t>(b);
    return text;
}

using Param = std::tuple<const core::aes::Impl*, TAESType, TAESKeyLength>;

class AesObjOpenSsl : public testing::TestWithParam<Param> {};

TEST_P(AesObjOpenSsl, StreamsAgreeOnRandomData) {
    const auto& [impl, mode, length] = GetParam();
    const UseImpl use(impl);
    const int bits = length == TAESKeyLength::kl128   ? 128
                     : length == TAESKeyLength::kl192 ? 192
                                                      : 256;
    std::mt19937 random(static_cast<uint32_t>(bits * 7 + static_cast<int>(mode)));
    auto bytes = [&](size_t n) {
        Bytes b(n);
        for (auto& x : b) x = static_cast<uint8_t>(random());
        return b;
    };
    const size_t chunk = TAESEncryption::kChunkSize;
    const std::vector<size_t> sizes{0,
                                    1,
                                    15,
                                    16,
                                    17,
                                    chunk - 16,
                                    chunk - 1,
                                    chunk,
                                    chunk + 1,
                                    2 * chunk + 33,
                                    64 + random() % 500000};

    for (TPaddingMode padding : {TPaddingMode::PKCS7, TPaddingMode::nopadding}) {
        for (TIVMode ivMode : {TIVMode::rand, TIVMode::userdefined}) {
            for (size_t size : sizes) {
                if (padding == TPaddingMode::nopadding) size -= size % 16;
                const Bytes key = bytes(static_cast<size_t>(bits / 8));
                const Bytes iv = bytes(16);
                const Bytes plain = bytes(size);
                TAESEncryption aes;
                aes.SetKeyLength(length);
                aes.SetKey(Chars(key));
                aes.SetIV(Chars(iv));
                aes.SetAType(mode);
                aes.SetIVMode(ivMode);
                aes.SetPaddingMode(padding);
                SCOPED_TRACE(testing::Message() << "padding " << int(padding) << " ivMode "
                                                << int(ivMode) << " size " << size);

                rtl::TMemoryStream source(plain);
                rtl::TMemoryStream ours;
                aes.EncryptStream(source, ours);
                const bool stored = mode != TAESType::atECB && ivMode == TIVMode::rand;
                const Bytes& written = ours.Bytes();
                ASSERT_GE(written.size(), stored ? 16u : 0u);
                const Bytes usedIv = stored ? Bytes(written.begin(), written.begin() + 16) : iv;
                const Bytes reference =
                    OpenSslEncrypt(mode, bits, key, usedIv, plain, padding == TPaddingMode::PKCS7);
                EXPECT_EQ(Bytes(written.begin() + (stored ? 16 : 0), written.end()), reference);

                Bytes theirs = stored ? usedIv : Bytes{};
                theirs.insert(theirs.end(), reference.begin(), reference.end());
                rtl::TMemoryStream cipher(theirs);
                rtl::TMemoryStream back;
                aes.DecryptStream(cipher, back);
                EXPECT_EQ(back.Bytes(), plain);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, AesObjOpenSsl,
    testing::Combine(
        testing::ValuesIn(aes_component_test::Implementations()),
        testing::Values(TAESType::atECB, TAESType::atCBC, TAESType::atOFB, TAESType::atCTR),
        testing::Values(TAESKeyLength::kl128, TAESKeyLength::kl192, TAESKeyLength::kl256)),
    [](const testing::TestParamInfo<Param>& info) {
        return aes_component_test::ImplName(std::get<0>(info.param)) + "_mode" +
               std::to_string(static_cast<int>(std::get<1>(info.param))) + "_kl" +
               std::to_string(static_cast<int>(std::get<2>(info.param)));
    });

}  // namespace
