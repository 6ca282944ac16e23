// Every TConvert conversion on any text, in every format: a result or an rtl::Exception
// (EQuorin included), never another exception, and no access outside a buffer. Bytes
// encoded in a format decode back to the same bytes, and a conversion between two
// formats equals decoding from the one and encoding in the other.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "crypto/MiscObj.h"
#include "fuzz/fuzz_support.h"
#include "rtl/Exception.h"

namespace {

using rtl::String;
using T = TConvertType;

constexpr T kTypes[] = {T::base64, T::hexa, T::base64url, T::base32, T::raw};

void Tolerate(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const rtl::Exception&) {
    }
}

void EveryOperation(TConvert& convert, const String& text) {
    Tolerate([&] { convert.FormatToChar(text); });
    Tolerate([&] { convert.StringToFormat(text); });
    Tolerate([&] { convert.FormatToString(text); });
    Tolerate([&] { convert.UnicodeStringToFormat(text); });
    Tolerate([&] { convert.FormatToUnicodeString(text); });
    Tolerate([&] { convert.KeyRSAOpenSSLToKeyTRSAEncSign(text); });
    Tolerate([&] { convert.KeyTRSAEncSignToKeyRSAOpenSSL(text); });
    Tolerate([&] {
        int32_t length = 0;
        convert.StringToBuffer(text, TUnicode::noUni, length);
        convert.StringToBuffer(text, TUnicode::yesUni, length);
    });
    Tolerate([&] { convert.StringToPAnsiChar(text); });
    Tolerate([&] { convert.UnicodeToPAnsiChar(text); });
    Tolerate([&] { convert.StringToByteArray(text); });
    Tolerate([&] { convert.StringToUnicode(text); });
    Tolerate([&] { convert.TestUnicode(text); });
    Tolerate([&] { convert.StringToTBytes(text); });
    Tolerate([&] { convert.Base58Decode(text); });
}

void EveryConversion(TConvert& convert, const String& text) {
    using Conversion = String (TConvert::*)(const String&);
    static constexpr Conversion kConversions[] = {
        &TConvert::Base64ToHexa,      &TConvert::HexaToBase64,    &TConvert::Base64ToBase64url,
        &TConvert::Base64urlToBase64, &TConvert::Base64urlToHexa, &TConvert::HexaToBase64url,
        &TConvert::Base32ToHexa,      &TConvert::HexaToBase32,    &TConvert::Base32ToBase64url,
        &TConvert::Base64urlToBase32, &TConvert::Base32ToBase64,  &TConvert::Base64ToBase32,
    };
    for (const Conversion conversion : kConversions) {
        const T before = convert.AType();
        Tolerate([&] { (convert.*conversion)(text); });
        fuzz::Check(convert.AType() == before, "a conversion changed AType");
    }
}

void RoundTrips(std::span<const uint8_t> bytes) {
    const auto count = static_cast<int32_t>(bytes.size());
    for (const T type : kTypes) {
        if (type == T::raw) continue;  // raw texts decode by rule L, not back through the code page
        TConvert convert(type);
        const String encoded = convert.CharToFormat(bytes.data(), count);
        fuzz::Check(convert.CharLength(encoded) == count, "encoded length counts other bytes");
        const TBytes decoded = convert.FormatToChar(encoded);
        fuzz::Check(decoded.size() == bytes.size() + 1 &&
                        std::equal(bytes.begin(), bytes.end(), decoded.begin()),
                    "encoded bytes decode to other bytes");
        for (const T to : kTypes) {
            if (to == T::raw || to == type) continue;
            TConvert direct(to);
            const String expected = direct.CharToFormat(bytes.data(), count);
            TConvert converter(type);
            String converted;
            if (type == T::hexa && to == T::base64) converted = converter.HexaToBase64(encoded);
            if (type == T::hexa && to == T::base64url)
                converted = converter.HexaToBase64url(encoded);
            if (type == T::hexa && to == T::base32) converted = converter.HexaToBase32(encoded);
            if (type == T::base64 && to == T::hexa) converted = converter.Base64ToHexa(encoded);
            if (type == T::base64 && to == T::base64url)
                converted = converter.Base64ToBase64url(encoded);
            if (type == T::base64 && to == T::base32) converted = converter.Base64ToBase32(encoded);
            if (type == T::base64url && to == T::hexa)
                converted = converter.Base64urlToHexa(encoded);
            if (type == T::base64url && to == T::base64)
                converted = converter.Base64urlToBase64(encoded);
            if (type == T::base64url && to == T::base32)
                converted = converter.Base64urlToBase32(encoded);
            if (type == T::base32 && to == T::hexa) converted = converter.Base32ToHexa(encoded);
            if (type == T::base32 && to == T::base64) converted = converter.Base32ToBase64(encoded);
            if (type == T::base32 && to == T::base64url)
                converted = converter.Base32ToBase64url(encoded);
            fuzz::Check(converted == expected, "a conversion differs from decode and encode");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const String text = fuzz::Utf16Text({data, size});
    for (const T type : kTypes) {
        TConvert convert(type);
        EveryOperation(convert, text);
        EveryConversion(convert, text);
    }
    RoundTrips({data, std::min<size_t>(size, 4096)});
    return 0;
}
