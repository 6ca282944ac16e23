// AES-256-CBC through TAESEncryption's EncryptStream and DecryptStream over
// 256 MiB held in memory, against OpenSSL's EVP AES-256-CBC over the same data
// in the same run, on the processor's path and on the portable path. Compare
// bytes per second of lines of the same run only.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <memory>
#include <vector>

#include "crypto/AESObj.h"
#include "crypto/core/aes_impl.h"
#include "rtl/Stream.h"

namespace {

constexpr size_t kSize = size_t{256} << 20;
const rtl::String kKey = u"0123456789abcdef0123456789ABCDEF";

struct Data {
    rtl::TMemoryStream plain;
    rtl::TMemoryStream cipher;
    rtl::TMemoryStream output;
    std::vector<uint8_t> raw;
    std::vector<uint8_t> rawOut = std::vector<uint8_t>(kSize + 32);

    Data() {
        raw.resize(kSize);
        uint32_t x = 2463534242u;
        for (auto& b : raw) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<uint8_t>(x);
        }
        plain.WriteBuffer(raw.data(), static_cast<int64_t>(raw.size()));
        TAESEncryption aes;
        Configure(aes);
        aes.EncryptStream(plain, cipher);
        output.SetSize(static_cast<int64_t>(kSize + 32));  // no growth inside the timing
    }
    static void Configure(TAESEncryption& aes) {
        aes.SetKeyLength(TAESKeyLength::kl256);
        aes.SetKey(kKey);
    }
};

Data& Shared() {
    static Data data;
    return data;
}

void Component(benchmark::State& state, const core::aes::Impl* impl, bool decrypt) {
    if (impl == nullptr) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    Data& d = Shared();
    aesobj::UseImplementation(impl);
    TAESEncryption aes;
    Data::Configure(aes);
    for (auto _ : state) {
        decrypt ? aes.DecryptStream(d.cipher, d.output) : aes.EncryptStream(d.plain, d.output);
        benchmark::ClobberMemory();
    }
    aesobj::UseImplementation(nullptr);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

void OpenSsl(benchmark::State& state, bool decrypt) {
    Data& d = Shared();
    uint8_t key[32];
    for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(kKey[static_cast<size_t>(i)]);
    const uint8_t* cipher = d.cipher.Bytes().data();
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    for (auto _ : state) {
        int n = 0, tail = 0;
        if (decrypt) {
            EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key, cipher);
            EVP_DecryptUpdate(ctx.get(), d.rawOut.data(), &n, cipher + 16,
                              static_cast<int>(d.cipher.Bytes().size() - 16));
            EVP_DecryptFinal_ex(ctx.get(), d.rawOut.data() + n, &tail);
        } else {
            EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key, cipher);
            EVP_EncryptUpdate(ctx.get(), d.rawOut.data(), &n, d.raw.data(),
                              static_cast<int>(kSize));
            EVP_EncryptFinal_ex(ctx.get(), d.rawOut.data() + n, &tail);
        }
        benchmark::DoNotOptimize(d.rawOut.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

// OpenSSL in the same chunk loop over the same streams: one Read, one cipher
// call and one Write per 160,000 bytes, so the streams' copies weigh the same.
void OpenSslChunked(benchmark::State& state, bool decrypt) {
    Data& d = Shared();
    uint8_t key[32];
    for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(kKey[static_cast<size_t>(i)]);
    rtl::TMemoryStream& source = decrypt ? d.cipher : d.plain;
    std::vector<uint8_t> in(TAESEncryption::kChunkSize), out(TAESEncryption::kChunkSize + 32);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    for (auto _ : state) {
        source.SetPosition(0);
        d.output.SetPosition(0);
        uint8_t iv[16];
        source.ReadBuffer(iv, 16);
        if (!decrypt) source.SetPosition(0);
        EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, key, iv, decrypt ? 0 : 1);
        if (!decrypt) d.output.WriteBuffer(iv, 16);
        int64_t r;
        int n = 0;
        while ((r = source.Read(in.data(), TAESEncryption::kChunkSize)) > 0) {
            EVP_CipherUpdate(ctx.get(), out.data(), &n, in.data(), static_cast<int>(r));
            d.output.WriteBuffer(out.data(), n);
        }
        EVP_CipherFinal_ex(ctx.get(), out.data(), &n);
        d.output.WriteBuffer(out.data(), n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

// The floor the stream interface sets: the chunk loop's Read and Write alone.
void StreamCopyOnly(benchmark::State& state) {
    Data& d = Shared();
    std::vector<uint8_t> in(TAESEncryption::kChunkSize);
    for (auto _ : state) {
        d.cipher.SetPosition(0);
        d.output.SetPosition(0);
        int64_t r;
        while ((r = d.cipher.Read(in.data(), TAESEncryption::kChunkSize)) > 0)
            d.output.WriteBuffer(in.data(), r);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSize);
}

BENCHMARK_CAPTURE(Component, EncryptStream_hardware, core::aes::Hardware(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK_CAPTURE(OpenSsl, EVP_encrypt, false)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(OpenSslChunked, EVP_encrypt_chunked, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK_CAPTURE(Component, DecryptStream_hardware, core::aes::Hardware(), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK_CAPTURE(OpenSsl, EVP_decrypt, true)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(OpenSslChunked, EVP_decrypt_chunked, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK(StreamCopyOnly)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK_CAPTURE(Component, EncryptStream_portable, &core::aes::Portable(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(Component, DecryptStream_portable, &core::aes::Portable(), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
