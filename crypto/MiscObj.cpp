#include "crypto/MiscObj.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "crypto/core/encoding.h"
#include "crypto/core/random.h"
#include "rtl/CodePage.h"
#include "rtl/Exception.h"

using rtl::String;

namespace text_rules {

std::string RuleS(rtl::StringView text) {
    std::string bytes = rtl::SystemEncode(text);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] < 256) bytes[i] = static_cast<char>(text[i]);
    return bytes;
}

std::string RuleU(rtl::StringView text) {
    return rtl::Utf8Encode(text);
}

std::string RuleL(rtl::StringView text) {
    std::string bytes(text.size(), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char16_t c) { return static_cast<char>(c & 0xFF); });
    return bytes;
}

String RuleP(const uint8_t* bytes, size_t count) {
    return rtl::SystemDecode(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

String RuleI(const uint8_t* bytes, size_t count) {
    return String(bytes, bytes + count);
}

}  // namespace text_rules

namespace {

using Encoder = int32_t (*)(const uint8_t*, uint32_t, char*);
using Decoder = int32_t (*)(const char*, uint8_t*);

constexpr char kBase58Alphabet[] = "123456789abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ";

// Texts handed to the components are often passwords: the intermediate copy
// is overwritten once the buffer holds the bytes.
TBytes ToBytes(std::string bytes, bool terminate) {
    TBytes buffer;
    buffer.reserve(bytes.size() + 1);
    buffer.assign(bytes.begin(), bytes.end());
    if (terminate) buffer.push_back(0);
    std::fill(bytes.begin(), bytes.end(), '\0');
    return buffer;
}

bool Is(const String& text, size_t fromEnd, char16_t c) {
    return text.size() >= fromEnd && text[text.size() - fromEnd] == c;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A byte count below 0, or one whose text would not have a 32-bit length.
[[noreturn]] void BadByteCount(int64_t count) {
    throw EQuorin(u"Byte count out of range (" + rtl::Str(std::to_string(count)) + u")");
}

// The signed 32-bit count that the operations pass on.
int32_t ByteCount(size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) BadByteCount(static_cast<int64_t>(size));
    return static_cast<int32_t>(size);
}

// Puts the format back on every exit.
class FormatScope {
public:
    FormatScope(TConvert& convert, TConvertType type) : convert_(convert), saved_(convert.AType()) {
        convert_.SetAType(type);
    }
    ~FormatScope() { convert_.SetAType(saved_); }

private:
    TConvert& convert_;
    TConvertType saved_;
};

}  // namespace

TConvert::TConvert(rtl::TComponent* AOwner) : TOrvCryptBase(AOwner) {}
TConvert::TConvert() : TOrvCryptBase(nullptr) {}
TConvert::TConvert(TConvertType AType) : TOrvCryptBase(nullptr), FType(AType) {}

void TConvert::BadType() const {
    throw EQuorin(u"Bad Type (" + rtl::IntToStr(static_cast<int>(FType)) + u")");
}

String TConvert::CharToFormat(const uint8_t* charstring, int32_t charlen) {
    Encoder encode = nullptr;
    switch (FType) {
        case TConvertType::raw:
            if (charlen < 0) BadByteCount(charlen);
            return text_rules::RuleP(charstring, static_cast<size_t>(charlen));
        case TConvertType::hexa:
            encode = core::CharToHexa;
            break;
        case TConvertType::base64:
            encode = core::CharToBase64;
            break;
        case TConvertType::base64url:
            encode = core::CharToBase64url;
            break;
        case TConvertType::base32:
            encode = core::CharToBase32;
            break;
        default:
            BadType();
    }
    const int32_t length = OutputFormatLength(charlen);
    std::string buffer(static_cast<size_t>(length), '\0');
    CheckCore(encode(charstring, static_cast<uint32_t>(charlen), buffer.data()));
    buffer.resize(length - 1);
    return rtl::Str(buffer);
}

TBytes TConvert::FormatToChar(const String& str) {
    const std::string copy = text_rules::RuleL(str);
    if (FType == TConvertType::raw) return ToBytes(copy, true);
    Decoder decode = nullptr;
    switch (FType) {
        case TConvertType::hexa:
            decode = core::HexaToChar;
            break;
        case TConvertType::base64:
            decode = core::Base64ToChar;
            break;
        case TConvertType::base64url:
            decode = core::Base64urlToChar;
            break;
        case TConvertType::base32:
            decode = core::Base32ToChar;
            break;
        default:
            BadType();
    }
    // The decoder sees the copy only up to its first zero byte, which can decode to
    // more than the whole text's CharLength: the buffer holds the larger of the two.
    const String seen = text_rules::RuleI(reinterpret_cast<const uint8_t*>(copy.c_str()),
                                          std::strlen(copy.c_str()));
    const int32_t room = std::max(CharLength(str), CharLength(seen));
    TBytes buffer(static_cast<size_t>(room) + 1, 0);
    CheckCore(decode(copy.c_str(), buffer.data()));
    return buffer;
}

int32_t TConvert::OutputFormatLength(int32_t charlen) const {
    if (charlen < 0) BadByteCount(charlen);
    const int64_t n = charlen;
    int64_t length = 0;
    switch (FType) {
        case TConvertType::hexa:
            length = 2 * n + 1;
            break;
        case TConvertType::base64:
        case TConvertType::base64url:
            length = (n / 3 - (n % 3 == 0 ? 1 : 0)) * 4 + 5;
            break;
        case TConvertType::base32:
            length = (n / 5 - (n % 5 == 0 ? 1 : 0)) * 8 + 9;
            break;
        case TConvertType::raw:
            length = n + 1;
            break;
    }
    if (length > INT32_MAX) BadByteCount(n);
    return static_cast<int32_t>(length);
}

int32_t TConvert::CharLength(const String& text) const {
    const auto length = static_cast<int64_t>(text.size());
    if (length == 0) return 0;
    int64_t n = 0;
    switch (FType) {
        case TConvertType::hexa:
            n = (length + 1) / 2;
            break;
        case TConvertType::base64:
        case TConvertType::base64url:
            n = (length + 1) / 4 * 3;
            if (Is(text, 2, u'=') && Is(text, 1, u'='))
                n -= 2;
            else if (Is(text, 1, u'='))
                n -= 1;
            break;
        case TConvertType::base32:
            n = (length + 1) / 8 * 5;
            if (Is(text, 1, u'=') && !Is(text, 2, u'='))
                n -= 1;
            else if (Is(text, 1, u'=') && Is(text, 2, u'=') && !Is(text, 4, u'='))
                n -= 2;
            else if (Is(text, 4, u'=') && !Is(text, 5, u'='))
                n -= 3;
            else if (Is(text, 5, u'='))
                n -= 4;
            break;
        case TConvertType::raw:
            n = length;
            break;
    }
    // Padding can outweigh a text shorter than one group: such a text holds no bytes.
    if (n > INT32_MAX) BadByteCount(n);
    return static_cast<int32_t>(std::max<int64_t>(n, 0));
}

String TConvert::StringToFormat(const String& charstring) {
    const std::string bytes = text_rules::RuleS(charstring);
    return CharToFormat(reinterpret_cast<const uint8_t*>(bytes.data()), ByteCount(bytes.size()));
}

String TConvert::FormatToString(const String& str) {
    String hexa;
    switch (FType) {
        case TConvertType::raw:
            return str;
        case TConvertType::hexa:
            hexa = str;
            break;
        case TConvertType::base64:
            hexa = Base64ToHexa(str);
            break;
        case TConvertType::base64url:
            hexa = Base64urlToHexa(str);
            break;
        case TConvertType::base32:
            hexa = Base32ToHexa(str);
            break;
        default:
            BadType();
    }
    String result;
    for (size_t i = 0; i + 1 < hexa.size(); i += 2) {
        const int high = HexDigit(hexa[i]), low = HexDigit(hexa[i + 1]);
        if (high < 0 || low < 0) throw rtl::EConvertError(u"$" + hexa.substr(i, 2));
        result += static_cast<char16_t>(high * 16 + low);
    }
    return result;
}

String TConvert::UnicodeStringToFormat(const String& str) {
    const std::string bytes = text_rules::RuleU(str);
    return CharToFormat(reinterpret_cast<const uint8_t*>(bytes.data()), ByteCount(bytes.size()));
}

String TConvert::FormatToUnicodeString(const String& str) {
    return StringToUnicode(FormatToString(str));
}

String TConvert::RandomString(int32_t len) {
    TBytes bytes(static_cast<size_t>(std::max(len, 0)));
    CheckCore(core::RandomBytes(len, bytes.data()));
    FormatScope raw(*this, TConvertType::raw);
    return CharToFormat(bytes.data(), len);
}

TBytes TConvert::StringToBuffer(const String& str, TUnicode u, int32_t& msgLen) {
    if (u == TUnicode::yesUni) {
        msgLen = PAnsiCharFromUnicodeLength(str);
        return UnicodeToPAnsiChar(str);
    }
    msgLen = ByteCount(str.size());
    return StringToPAnsiChar(str);
}

TBytes TConvert::StringToBufferA(const String& str, TUnicode u) {
    int32_t ignored = 0;
    return StringToBuffer(str, u, ignored);
}

TBytes TConvert::StringToPAnsiChar(const String& str) {
    return ToBytes(text_rules::RuleS(str), true);
}

TBytes TConvert::UnicodeToPAnsiChar(const String& str) {
    return ToBytes(text_rules::RuleU(str), true);
}

int32_t TConvert::PAnsiCharFromUnicodeLength(const String& str) {
    return ByteCount(text_rules::RuleU(str).size());
}

TBytes TConvert::StringToByteArray(const String& str) {
    return ToBytes(text_rules::RuleS(str), false);
}

String TConvert::StringToUnicode(const String& str) {
    return rtl::Utf8Decode(text_rules::RuleS(str));
}

int32_t TConvert::TestUnicode(const String& str) {
    return std::any_of(str.begin(), str.end(), [](char16_t c) { return c >= 256; }) ? 1 : 0;
}

String TConvert::Convert(const String& text, TConvertType from, TConvertType to) {
    FormatScope scope(*this, from);
    const int32_t n = CharLength(text);
    const TBytes bytes = FormatToChar(text);
    SetAType(to);
    return CharToFormat(bytes.data(), n);
}

using T = TConvertType;
String TConvert::Base64ToHexa(const String& s) {
    return Convert(s, T::base64, T::hexa);
}
String TConvert::HexaToBase64(const String& s) {
    return Convert(s, T::hexa, T::base64);
}
String TConvert::Base64ToBase64url(const String& s) {
    return Convert(s, T::base64, T::base64url);
}
String TConvert::Base64urlToBase64(const String& s) {
    return Convert(s, T::base64url, T::base64);
}
String TConvert::Base64urlToHexa(const String& s) {
    return Convert(s, T::base64url, T::hexa);
}
String TConvert::HexaToBase64url(const String& s) {
    return Convert(s, T::hexa, T::base64url);
}
String TConvert::Base32ToHexa(const String& s) {
    return Convert(s, T::base32, T::hexa);
}
String TConvert::HexaToBase32(const String& s) {
    return Convert(s, T::hexa, T::base32);
}
String TConvert::Base32ToBase64url(const String& s) {
    return Convert(s, T::base32, T::base64url);
}
String TConvert::Base64urlToBase32(const String& s) {
    return Convert(s, T::base64url, T::base32);
}
String TConvert::Base32ToBase64(const String& s) {
    return Convert(s, T::base32, T::base64);
}
String TConvert::Base64ToBase32(const String& s) {
    return Convert(s, T::base64, T::base32);
}

String TConvert::Base58Encode(uint64_t value) {
    String result;
    while (value > 57) {
        result.insert(result.begin(), static_cast<char16_t>(kBase58Alphabet[value % 58]));
        value /= 58;
    }
    result.insert(result.begin(), static_cast<char16_t>(kBase58Alphabet[value]));
    return result;
}

uint64_t TConvert::Base58Decode(const String& encoded) {
    uint64_t value = 0, weight = 1;
    for (auto c = encoded.rbegin(); c != encoded.rend(); ++c) {
        const char* found =
            *c < 128 && *c != 0 ? std::strchr(kBase58Alphabet, static_cast<char>(*c)) : nullptr;
        value += static_cast<uint64_t>(found ? found - kBase58Alphabet : 0) * weight;
        weight *= 58;
    }
    return value;
}

String TConvert::KeyRSAOpenSSLToKeyTRSAEncSign(const String& strKey) {
    const auto reversePairs = [](const String& hexa) {
        String result;
        for (size_t i = hexa.size() / 2; i-- > 0;) result += hexa.substr(2 * i, 2);
        return result;
    };
    switch (FType) {
        case T::hexa:
            return reversePairs(strKey);
        case T::base64:
            return HexaToBase64(reversePairs(Base64ToHexa(strKey)));
        case T::base64url:
            return HexaToBase64url(reversePairs(Base64urlToHexa(strKey)));
        case T::base32:
            return HexaToBase32(reversePairs(Base32ToHexa(strKey)));
        default:
            return {};
    }
}

String TConvert::KeyTRSAEncSignToKeyRSAOpenSSL(const String& strKey) {
    return KeyRSAOpenSSLToKeyTRSAEncSign(strKey);
}

String TConvert::TBytesToString(const TBytes& t) {
    return text_rules::RuleI(t.data(), t.size());
}

TBytes TConvert::StringToTBytes(const String& str) {
    if (PAnsiCharFromUnicodeLength(str) != static_cast<int32_t>(str.size()))
        throw rtl::Exception(u"Misuse of this function: Unicode characters are not accepted!");
    return TBytes(str.begin(), str.end());
}
