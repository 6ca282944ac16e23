// AesDecryptBuffer on any ciphertext and settings, writing into a buffer of exactly
// the size its contract asks for (the data after the IV rounded up to whole blocks)
// and never reporting a longer plaintext;
// and encryption followed by decryption gives the plaintext back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "crypto/core/aes.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int32_t kKeySizes[] = {128, 192, 256, 0, 64, 257};

std::vector<uint8_t> Bytes(FuzzedDataProvider& input, size_t count) {
    std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(count);
    bytes.resize(count);
    return bytes;
}

void Decrypt(const std::vector<uint8_t>& ciphertext, const std::vector<uint8_t>& key,
             int32_t keyBits, bool ivInInput, const std::vector<uint8_t>& iv, bool padding,
             uint32_t mode) {
    const size_t length = ciphertext.size();
    const size_t data = mode != core::kAesEcb && ivInInput && length >= 16 ? length - 16 : length;
    const size_t room = (data + 15) / 16 * 16;
    const auto output = std::make_unique<uint8_t[]>(room);
    uint32_t outputLength = 0xFFFFFFFF;
    const int32_t code = core::AesDecryptBuffer(ciphertext.data(), static_cast<uint32_t>(length),
                                                output.get(), &outputLength, key.data(), keyBits,
                                                ivInInput, iv.data(), padding, mode);
    // The length is left alone when no final block was unpadded (a CTR ciphertext shorter
    // than a block); when written it never counts bytes beyond those written.
    if (code == core::kOk && padding && outputLength != 0xFFFFFFFF)
        fuzz::Check(outputLength <= room, "a plaintext length beyond the output written");
}

void RoundTrip(const std::vector<uint8_t>& plaintext, const std::vector<uint8_t>& key,
               int32_t keyBits, const std::vector<uint8_t>& iv, uint32_t mode) {
    std::vector<uint8_t> ciphertext(16 + (plaintext.size() / 16 + 1) * 16);
    uint32_t length = 0;
    const int32_t code = core::AesEncryptBuffer(
        plaintext.data(), static_cast<uint32_t>(plaintext.size()), ciphertext.data(), &length,
        key.data(), keyBits, 1, iv.data(), 1, mode);
    if (code != core::kOk) return;
    fuzz::Check(length <= ciphertext.size(), "encryption wrote past its room");
    std::vector<uint8_t> decrypted(length);
    uint32_t decryptedLength = 0;
    fuzz::Check(
        core::AesDecryptBuffer(ciphertext.data(), length, decrypted.data(), &decryptedLength,
                               key.data(), keyBits, 1, iv.data(), 1, mode) == core::kOk,
        "own ciphertext refused");
    decrypted.resize(decryptedLength);
    fuzz::Check(decrypted == plaintext, "own ciphertext decrypts to another plaintext");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int32_t keyBits = input.PickValueInArray(kKeySizes);
    const auto mode = input.ConsumeIntegralInRange<uint32_t>(0, 4);
    const bool ivInInput = input.ConsumeBool();
    const bool padding = input.ConsumeBool();
    const std::vector<uint8_t> key = Bytes(input, 32);
    const std::vector<uint8_t> iv = Bytes(input, 16);
    const std::vector<uint8_t> rest = input.ConsumeRemainingBytes<uint8_t>();
    Decrypt(rest, key, keyBits, ivInInput, iv, padding, mode);
    RoundTrip(rest, key, keyBits, iv, mode);
    return 0;
}
