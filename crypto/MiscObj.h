#pragma once
// Unit MiscObj: EQuorin and TConvert, the one place where texts become bytes
// and bytes become texts.
//
// Text and byte rules:
//   S  one byte per UTF-16 code unit: below 256 its own value, otherwise the byte
//      of the system 8-bit code page (Windows-1252, '?' for what it lacks)
//   U  UTF-8
//   L  the low 8 bits of each code unit
//   P  bytes decoded through the system 8-bit code page
//   I  each byte becomes the character with the same code
#include <cstdint>
#include <vector>

#include "crypto/CryptBase.h"
#include "crypto/EQuorin.h"
#include "rtl/String.h"

using TBytes = std::vector<uint8_t>;

enum class TConvertType : uint8_t { base64 = 0, hexa = 1, base64url = 2, base32 = 3, raw = 4 };
enum class TUnicode : uint8_t { noUni = 0, yesUni = 1 };

class TConvert : public TOrvCryptBase {
public:
    explicit TConvert(rtl::TComponent* AOwner);
    TConvert();
    explicit TConvert(TConvertType AType);

    // Published `AType`, default hexa: the text format every operation reads.
    TConvertType AType() const { return FType; }
    void SetAType(TConvertType value) { FType = value; }

    // Format operations. Byte counts are signed 32-bit: a negative one, or one
    // whose text would be longer than a 32-bit length, raises EQuorin "Byte count
    // out of range (n)". CharLength is never below 0: padding that outweighs a
    // text's groups counts no bytes.
    rtl::String CharToFormat(const uint8_t* charstring, int32_t charlen);
    // A zero-filled buffer of CharLength(str) + 1 bytes (raw: length + 1) holding
    // the decoded bytes.
    TBytes FormatToChar(const rtl::String& str);
    int32_t OutputFormatLength(int32_t charlen) const;
    int32_t CharLength(const rtl::String& charstring) const;
    rtl::String StringToFormat(const rtl::String& charstring);
    rtl::String FormatToString(const rtl::String& str);
    rtl::String UnicodeStringToFormat(const rtl::String& str);
    rtl::String FormatToUnicodeString(const rtl::String& str);
    rtl::String RandomString(int32_t len);

    // Buffer operations; every buffer ends with one zero byte after the data.
    TBytes StringToBuffer(const rtl::String& str, TUnicode u, int32_t& msgLen);
    TBytes StringToBufferA(const rtl::String& str, TUnicode u);
    TBytes StringToPAnsiChar(const rtl::String& str);
    TBytes UnicodeToPAnsiChar(const rtl::String& str);
    int32_t PAnsiCharFromUnicodeLength(const rtl::String& str);
    TBytes StringToByteArray(const rtl::String& str);  // rule S, no zero byte
    rtl::String StringToUnicode(const rtl::String& str);
    int32_t TestUnicode(const rtl::String& str);

    // Conversions between formats; AType is the same afterwards, also after a failure.
    rtl::String Base64ToHexa(const rtl::String& base64String);
    rtl::String HexaToBase64(const rtl::String& hexaString);
    rtl::String Base64ToBase64url(const rtl::String& inString);
    rtl::String Base64urlToBase64(const rtl::String& inString);
    rtl::String Base64urlToHexa(const rtl::String& inString);
    rtl::String HexaToBase64url(const rtl::String& inString);
    rtl::String Base32ToHexa(const rtl::String& base32String);
    rtl::String HexaToBase32(const rtl::String& hexaString);
    rtl::String Base32ToBase64url(const rtl::String& inString);
    rtl::String Base64urlToBase32(const rtl::String& inString);
    rtl::String Base32ToBase64(const rtl::String& inString);
    rtl::String Base64ToBase32(const rtl::String& inString);

    // Base58 of 64-bit numbers, alphabet "123456789abc...xyzABC...XYZ".
    rtl::String Base58Encode(uint64_t value);
    // Characters outside the alphabet count as 0.
    uint64_t Base58Decode(const rtl::String& encoded);

    // The key's bytes in reverse order, in format AType; empty for raw. An odd
    // final hexadecimal digit is dropped.
    rtl::String KeyRSAOpenSSLToKeyTRSAEncSign(const rtl::String& strKey);
    rtl::String KeyTRSAEncSignToKeyRSAOpenSSL(const rtl::String& strKey);

    rtl::String TBytesToString(const TBytes& t);
    // Characters below 0x80 only; otherwise rtl::Exception.
    TBytes StringToTBytes(const rtl::String& str);

private:
    rtl::String Convert(const rtl::String& text, TConvertType from, TConvertType to);
    [[noreturn]] void BadType() const;

    TConvertType FType = TConvertType::hexa;
};

// Rules S, U, L, P and I on their own.
namespace text_rules {
std::string RuleS(rtl::StringView text);
std::string RuleU(rtl::StringView text);
std::string RuleL(rtl::StringView text);
rtl::String RuleP(const uint8_t* bytes, size_t count);
rtl::String RuleI(const uint8_t* bytes, size_t count);
}  // namespace text_rules
