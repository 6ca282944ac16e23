// TAESEncryption::Decrypt on any text with any settings: a text or an rtl::Exception
// (EQuorin included), never another exception and no access outside a buffer; and
// a text encrypted with the same settings decrypts back to itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "crypto/AESObj.h"
#include "fuzz/fuzz_support.h"
#include "rtl/Exception.h"

namespace {

rtl::String Characters(FuzzedDataProvider& input, size_t count) {
    std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(count);
    bytes.resize(count, 'k');
    return fuzz::ByteText(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    TAESEncryption aes;
    aes.SetKeyLength(static_cast<TAESKeyLength>(input.ConsumeIntegralInRange(0, 2)));
    aes.SetKey(Characters(input, static_cast<size_t>(aes.keyLengthBits() / 8)));
    aes.SetAType(static_cast<TAESType>(input.ConsumeIntegralInRange(0, 3)));
    aes.SetPaddingMode(static_cast<TPaddingMode>(input.ConsumeIntegralInRange(0, 1)));
    aes.SetIVMode(static_cast<TIVMode>(input.ConsumeIntegralInRange(0, 1)));
    aes.SetIV(Characters(input, 16));
    aes.SetOutputFormat(static_cast<TConvertType>(input.ConsumeIntegralInRange(0, 4)));
    aes.SetUnicode(static_cast<TUnicode>(input.ConsumeIntegralInRange(0, 1)));
    const bool roundTrip = input.ConsumeBool();
    const std::vector<uint8_t> rest = input.ConsumeRemainingBytes<uint8_t>();

    if (!roundTrip) {
        try {
            (void)aes.Decrypt(fuzz::Utf16Text(rest));
        } catch (const rtl::Exception&) {
        }
        return 0;
    }
    // Plain ASCII survives both byte rules (UTF-8 and one byte per character).
    rtl::String plain;
    for (uint8_t byte : rest) plain.push_back(static_cast<char16_t>(byte & 0x7F));
    rtl::String encrypted;
    try {
        encrypted = aes.Encrypt(plain);
    } catch (const rtl::Exception&) {
        return 0;  // nopadding and a length that is not whole blocks
    }
    fuzz::Check(aes.Decrypt(encrypted) == plain, "an encrypted text decrypts to another text");
    return 0;
}
