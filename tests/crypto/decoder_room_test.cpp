// The core decoders write into the buffer that TConvert::FormatToChar sizes from
// its own length rule. Whatever the text, they must never write past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "crypto/MiscObj.h"
#include "crypto/core/encoding.h"

namespace {

using rtl::String;
using T = TConvertType;
using Decoder = int32_t (*)(const char*, uint8_t*);

struct Format {
    T type;
    Decoder decode;
    const char16_t* alphabet;
};

const Format kFormats[] = {
    {T::hexa, core::HexaToChar, u"0123456789ABCDEFabcdef"},
    {T::base64, core::Base64ToChar,
     u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"},
    {T::base64url, core::Base64urlToChar,
     u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"},
    {T::base32, core::Base32ToChar, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ234567"},
};

// How many bytes of a destination the decoder touches: it decodes twice, over two
// different fills, into far more room than any text needs.
size_t BytesTouched(const Format& format, const String& text) {
    const std::string copy = text_rules::RuleL(text);
    const size_t room = text.size() + 64;
    size_t touched = 0;
    for (const uint8_t fill : {uint8_t{0x00}, uint8_t{0xFF}}) {
        std::vector<uint8_t> destination(room, fill);
        format.decode(copy.c_str(), destination.data());
        for (size_t i = room; i-- > 0;)
            if (destination[i] != fill) {
                touched = std::max(touched, i + 1);
                break;
            }
    }
    return touched;
}

// The decoder stays inside FormatToChar's buffer, less the zero byte that ends it.
void ExpectWithinTheComponentsBuffer(const Format& format, const String& text) {
    TConvert convert(format.type);
    const size_t touched = BytesTouched(format, text);
    size_t bufferBytes = 0;
    try {
        bufferBytes = convert.FormatToChar(text).size() - 1;
    } catch (const EQuorin&) {
        // A refused text must leave the destination alone.
    }
    ASSERT_LE(touched, bufferBytes)
        << "type " << static_cast<int>(format.type) << " text \"" << rtl::Utf8Encode(text) << "\"";
}

class DecoderRoom : public testing::TestWithParam<Format> {};

// Every text of 1 to 10 characters made of "A" and "=": each place the padding can
// take, including "=" runs that do not end the text.
TEST_P(DecoderRoom, PaddingAnywhere) {
    for (int length = 1; length <= 10; ++length)
        for (uint32_t bits = 0; bits < (1u << length); ++bits) {
            String text;
            for (int i = 0; i < length; ++i) text += (bits >> i) & 1 ? u'=' : u'A';
            ExpectWithinTheComponentsBuffer(GetParam(), text);
        }
}

// Random texts that mix the alphabet and padding with blanks and with characters
// whose low byte is 0 (which ends what the decoder sees) or "=" (U+013D).
TEST_P(DecoderRoom, RandomTexts) {
    const String steering =
        String(GetParam().alphabet) + u"==== \r\n!" + u'\0' + u"\u0100\u013D\u0141\u00E9\u20AC";
    std::mt19937 rng(9);
    for (int round = 0; round < 20000; ++round) {
        String text;
        for (size_t length = rng() % 26; length > 0; --length)
            text += steering[rng() % steering.size()];
        ExpectWithinTheComponentsBuffer(GetParam(), text);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTextFormat, DecoderRoom, testing::ValuesIn(kFormats));

}  // namespace
