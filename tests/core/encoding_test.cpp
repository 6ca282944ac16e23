#include "crypto/core/encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypto/core/errors.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Encoder = int32_t (*)(const uint8_t*, uint32_t, char*);
using Decoder = int32_t (*)(const char*, uint8_t*);

enum class Format { kHexa, kBase64, kBase64url, kBase32 };

// The conversion component's byte count for a text (its CharLength), restated here
// to size destinations exactly as that caller does.
int64_t CharLength(Format format, const std::string& text) {
    const int64_t length = static_cast<int64_t>(text.size());
    if (length == 0) return 0;
    auto pad = [&](int64_t fromEnd) { return fromEnd <= length && text[length - fromEnd] == '='; };
    switch (format) {
        case Format::kHexa:
            return (length + 1) / 2;
        case Format::kBase64:
        case Format::kBase64url:
            return (length + 1) / 4 * 3 - (pad(1) ? 1 : 0) - (pad(1) && pad(2) ? 1 : 0);
        case Format::kBase32: {
            int64_t cut = 0;
            if (pad(1) && !pad(2))
                cut = 1;
            else if (pad(1) && pad(2) && !pad(4))
                cut = 2;
            else if (pad(4) && !pad(5))
                cut = 3;
            else if (pad(5))
                cut = 4;
            return (length + 1) / 8 * 5 - cut;
        }
    }
    return 0;
}

struct Codec {
    Format format;
    const char* name;
    Encoder encode;
    Decoder decode;
    const char* alphabet;
};

const Codec kCodecs[] = {
    {Format::kHexa, "Hexa", core::CharToHexa, core::HexaToChar, "0123456789ABCDEF"},
    {Format::kBase64, "Base64", core::CharToBase64, core::Base64ToChar,
     "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="},
    {Format::kBase64url, "Base64url", core::CharToBase64url, core::Base64urlToChar,
     "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_="},
    {Format::kBase32, "Base32", core::CharToBase32, core::Base32ToChar,
     "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567="},
};

void PrintTo(const Codec& codec, std::ostream* os) {
    *os << codec.name;
}

const Codec& CodecOf(Format format) {
    return kCodecs[static_cast<int>(format)];
}

uint64_t EncodedLength(Format format, uint64_t n) {
    switch (format) {
        case Format::kHexa:
            return 2 * n;
        case Format::kBase64:
        case Format::kBase64url:
            return 4 * ((n + 2) / 3);
        case Format::kBase32:
            return 8 * ((n + 4) / 5);
    }
    return 0;
}

constexpr size_t kGuard = 16;
constexpr uint8_t kGuardByte = 0xA5;

// A destination of exactly `size` bytes between guard bytes; the text it is fed is
// copied into an allocation of exactly its length + 1, so the sanitizer build also
// catches reads past the terminator.
struct Guarded {
    explicit Guarded(int64_t size) : size(size > 0 ? static_cast<size_t>(size) : 0) {
        storage.assign(this->size + 2 * kGuard, kGuardByte);
    }
    uint8_t* data() { return storage.data() + kGuard; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i) {
            if (storage[i] != kGuardByte || storage[kGuard + size + i] != kGuardByte) return false;
        }
        return true;
    }
    Bytes Contents() const {
        return Bytes(storage.begin() + kGuard, storage.begin() + kGuard + size);
    }
    size_t size;
    Bytes storage;
};

struct DecodeResult {
    int32_t code;
    Bytes written;  // the destination's bytes that no longer hold the fill value
    bool guardsIntact;
};

std::unique_ptr<char[]> ExactText(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// Decodes into a destination of CharLength(text) bytes. Written bytes are found by
// decoding twice over two different fills.
DecodeResult Decode(Format format, const std::string& text) {
    const int64_t room = CharLength(format, text);
    auto exact = ExactText(text);
    DecodeResult result{};
    Bytes fills[2];
    for (int pass = 0; pass < 2; ++pass) {
        Guarded destination(room);
        std::memset(destination.data(), pass == 0 ? 0x00 : 0xFF, destination.size);
        result.code = CodecOf(format).decode(exact.get(), destination.data());
        result.guardsIntact = destination.GuardsIntact();
        fills[pass] = destination.Contents();
        if (!result.guardsIntact) return result;
    }
    size_t written = 0;
    while (written < fills[0].size() && fills[0][written] == fills[1][written]) ++written;
    for (size_t i = written; i < fills[0].size(); ++i) {
        if (fills[0][i] == fills[1][i]) result.guardsIntact = false;  // scattered writes
    }
    result.written.assign(fills[0].begin(), fills[0].begin() + written);
    return result;
}

Bytes B(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

Bytes Ascii(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            const char* digits = "0123456789ABCDEF";
            out += std::string("\\x") + digits[c >> 4] + digits[c & 15];
        }
    }
    return out;
}

// --- Known answers, both directions ---------------------------------------------

struct Vector {
    Format format;
    Bytes data;
    std::string text;
};

std::vector<Vector> KnownAnswers() {
    std::vector<Vector> v;
    // RFC 4648 section 10.
    const char* inputs[] = {"", "f", "fo", "foo", "foob", "fooba", "foobar"};
    const char* base64[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    const char* base32[] = {
        "", "MY======", "MZXQ====", "MZXW6===", "MZXW6YQ=", "MZXW6YTB", "MZXW6YTBOI======"};
    const char* base16[] = {"", "66", "666F", "666F6F", "666F6F62", "666F6F6261", "666F6F626172"};
    for (int i = 0; i < 7; ++i) {
        v.push_back({Format::kBase64, Ascii(inputs[i]), base64[i]});
        v.push_back({Format::kBase64url, Ascii(inputs[i]), base64[i]});
        v.push_back({Format::kBase32, Ascii(inputs[i]), base32[i]});
        v.push_back({Format::kHexa, Ascii(inputs[i]), base16[i]});
    }
    // The two alphabets differ only in their last two characters.
    const Bytes high = B({0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF, 0xFB, 0xFF, 0xFE});
    v.push_back({Format::kBase64, high, "+vv8/f7/+//+"});
    v.push_back({Format::kBase64url, high, "-vv8_f7_-__-"});
    v.push_back({Format::kHexa, high, "FAFBFCFDFEFFFBFFFE"});
    const Bytes ff10ab = B({0xFF, 0x10, 0xAB});
    v.push_back({Format::kHexa, ff10ab, "FF10AB"});
    v.push_back({Format::kBase64, ff10ab, "/xCr"});
    v.push_back({Format::kBase64url, ff10ab, "_xCr"});
    v.push_back({Format::kBase32, ff10ab, "74IKW==="});
    v.push_back({Format::kBase32, B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "77777777"});
    v.push_back({Format::kBase32, B({0, 0, 0, 0}), "AAAAAAA="});
    return v;
}

void PrintTo(const Vector& v, std::ostream* os) {
    *os << CodecOf(v.format).name << " \"" << v.text << "\"";
}

class KnownAnswer : public testing::TestWithParam<Vector> {};

TEST_P(KnownAnswer, EncodesExactlyTheText) {
    const Vector& v = GetParam();
    Guarded destination(static_cast<int64_t>(v.text.size()));
    ASSERT_EQ(CodecOf(v.format).encode(v.data.data(), static_cast<uint32_t>(v.data.size()),
                                       reinterpret_cast<char*>(destination.data())),
              core::kOk);
    EXPECT_TRUE(destination.GuardsIntact());
    const Bytes out = destination.Contents();
    EXPECT_EQ(std::string(out.begin(), out.end()), v.text);
}

TEST_P(KnownAnswer, DecodesBackToTheData) {
    const Vector& v = GetParam();
    const DecodeResult r = Decode(v.format, v.text);
    EXPECT_EQ(r.code, core::kOk);
    EXPECT_TRUE(r.guardsIntact);
    EXPECT_EQ(r.written, v.data);
    EXPECT_EQ(CharLength(v.format, v.text), static_cast<int64_t>(v.data.size()));
}

std::string VectorName(const testing::TestParamInfo<Vector>& info) {
    return std::string(CodecOf(info.param.format).name) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Rfc4648AndOwn, KnownAnswer, testing::ValuesIn(KnownAnswers()), VectorName);

// --- Texts that are not clean encodings -----------------------------------------

struct Malformed {
    Format format;
    std::string text;
    int32_t code;
    Bytes written;
    const char* why;
};

const Bytes kFoobar = Ascii("foobar");

std::vector<Malformed> MalformedTexts() {
    using F = Format;
    const int32_t kRefused = core::kMallocFails;
    return {
        // Hexadecimal: skips non-digits anywhere, pairs the rest, never fails.
        {F::kHexa, "ff10AB", core::kOk, B({0xFF, 0x10, 0xAB}), "either case"},
        {F::kHexa, "abc", core::kOk, B({0xAB, 0xC0}), "lone final digit is a high nibble"},
        {F::kHexa, "ab cd", core::kOk, B({0xAB, 0xCD}), "blank between pairs"},
        {F::kHexa, "a-b", core::kOk, B({0xAB}), "non-digit inside a pair"},
        {F::kHexa, "xyz", core::kOk, {}, "no digit at all"},
        {F::kHexa,
         "\x80\xff"
         "a\xc3\xa9"
         "1",
         core::kOk, B({0xA1}), "high bytes skipped"},
        {F::kHexa, "gG:@`/", core::kOk, {}, "neighbours of the digit ranges"},

        // Base64: lengths that are not whole groups are refused without writing.
        {F::kBase64, "Z", kRefused, {}, "lone character"},
        {F::kBase64, "Zg", kRefused, {}, "unpadded final pair"},
        {F::kBase64, "Zm9", kRefused, {}, "three characters"},
        {F::kBase64, "=", kRefused, {}, "lone padding"},
        {F::kBase64, "==", kRefused, {}, "padding only, short"},
        {F::kBase64, "Zg=", kRefused, {}, "short group ending in padding"},
        {F::kBase64, "Zm9vYg", kRefused, {}, "unpadded after a whole group"},
        {F::kBase64, "Zm9vYmE", kRefused, {}, "unpadded after a whole group, 7"},
        {F::kBase64, "Zm9vYg=", kRefused, {}, "one padding character missing"},
        {F::kBase64, "Zm9vY", kRefused, {}, "one character past a group"},
        {F::kBase64, "Zg===", kRefused, {}, "one padding character too many"},
        // "=" in odd places counts 0.
        {F::kBase64, "====", core::kOk, B({0x00}), "padding only"},
        {F::kBase64, "Z===", core::kOk, B({0x64}), "three padding characters"},
        {F::kBase64, "Zg=A", core::kOk, B({0x66, 0x00, 0x00}), "padding before data"},
        {F::kBase64, "=Zg=", core::kOk, B({0x01, 0x98}), "padding first"},
        {F::kBase64, "Zm9v====", core::kOk, B({'f', 'o', 'o', 0x00}), "padding group"},
        // Other alphabets and characters past the table count 0.
        {F::kBase64, "_xCr", core::kOk, B({0x03, 0x10, 0xAB}), "Base64url character"},
        {F::kBase64url, "/xCr", core::kOk, B({0x03, 0x10, 0xAB}), "Base64 character"},
        {F::kBase64, "{|}~", core::kOk, B({0, 0, 0}), "past the table's end"},
        {F::kBase64url, "Zg\x7f\x7f", core::kOk, B({0x66, 0x00, 0x00}), "DEL"},
        {F::kBase64, "\"#$%", core::kOk, B({0, 0, 0}), "lowest kept characters"},
        // Blanks, "!" and high bytes are dropped wherever they are.
        {F::kBase64, "Zm9v\r\nYmFy", core::kOk, kFoobar, "line break between groups"},
        {F::kBase64, " Zm9v YmFy\t", core::kOk, kFoobar, "blanks around groups"},
        {F::kBase64, "Zm 9vY!mFy", core::kOk, kFoobar, "blank and ! inside a group"},
        {F::kBase64, "Zm9v\xc3\xa9YmFy\x80", core::kOk, kFoobar, "bytes from 0x80"},
        {F::kBase64, "Zg==\r\n", core::kOk, B({'f'}), "line break after padding"},
        {F::kBase64, "Zm9vYg= =", core::kOk, Ascii("foob"), "blank inside padding"},
        {F::kBase64, " \r\n\t", core::kOk, {}, "blanks only"},
        {F::kBase64url, "Zm9v Yg", kRefused, {}, "blank does not complete a group"},

        // Base32.
        {F::kBase32, "M", kRefused, {}, "lone character"},
        {F::kBase32, "MY", kRefused, {}, "unpadded final pair"},
        {F::kBase32, "MY=====", kRefused, {}, "one padding character missing"},
        {F::kBase32, "=======", kRefused, {}, "seven padding characters"},
        {F::kBase32, "MZXW6YTBOI", kRefused, {}, "unpadded after a whole group"},
        {F::kBase32, "MZXW6YTBOI======A", kRefused, {}, "one character past a group"},
        {F::kBase32, "========", core::kOk, B({0x00}), "padding only"},
        {F::kBase32, "MZXW6Y==", core::kOk, Ascii("foo"), "padding run of two"},
        {F::kBase32, "MZX=====", core::kOk, Ascii("f"), "padding run of five"},
        {F::kBase32, "MZXW=YTB", core::kOk, Ascii("fo"), "= fourth from the end"},
        {F::kBase32, "AAA=AAAA", core::kOk, B({0}), "= fifth from the end"},
        {F::kBase32, "MZXWSYT=", core::kOk, Ascii("foib"), "= last only"},
        {F::kBase32, "mzxwaytb", core::kOk, B({0, 0, 0, 0, 0}), "lower case counts 0"},
        {F::kBase32, "[\\]^_`{~", core::kOk, B({0, 0, 0, 0, 0}), "past the table's end"},
        {F::kBase32, "01890189", core::kOk, B({0, 0, 0, 0, 0}), "digits outside 2-7"},
        {F::kBase32, "MZXW6YTB\r\nOI======", core::kOk, kFoobar, "line break between groups"},
        {F::kBase32, "MZXW6YTBOI======\n", core::kOk, kFoobar, "line break at the end"},
        {F::kBase32, "MZXW6YTBOI== ====", core::kOk, kFoobar, "blank inside padding"},
        // Blanks in the padding can make the text's own count fall below the decoded
        // length: refused, never written past the caller's room.
        {F::kBase32, "AAAAA= ==", kRefused, {}, "blank splits the run of three"},
        {F::kBase32, "AAAA== ==", kRefused, {}, "blank splits the run of four"},
        {F::kBase32, "AAAA= ===", core::kOk, B({0, 0}), "split run that still fits"},
    };
}

void PrintTo(const Malformed& m, std::ostream* os) {
    *os << CodecOf(m.format).name << " \"" << Printable(m.text) << "\" (" << m.why << ")";
}

class MalformedText : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedText, GivesTheExactResult) {
    const Malformed& m = GetParam();
    const DecodeResult r = Decode(m.format, m.text);
    EXPECT_EQ(r.code, m.code) << m.why;
    EXPECT_TRUE(r.guardsIntact) << m.why;
    EXPECT_EQ(r.written, m.written) << m.why;
}

INSTANTIATE_TEST_SUITE_P(EveryDecoder, MalformedText, testing::ValuesIn(MalformedTexts()),
                         [](const testing::TestParamInfo<Malformed>& info) {
                             return std::string(CodecOf(info.param.format).name) + "_" +
                                    std::to_string(info.index);
                         });

// --- Every codec over random data and random texts -------------------------------

class EveryCodec : public testing::TestWithParam<Codec> {};

TEST_P(EveryCodec, RoundTripsRandomData) {
    const Codec& codec = GetParam();
    std::mt19937 rng(1234);
    for (uint32_t n = 0; n < 300; ++n) {
        Bytes data(n);
        for (auto& b : data) b = static_cast<uint8_t>(rng());
        const uint64_t length = EncodedLength(codec.format, n);
        Guarded encoded(static_cast<int64_t>(length));
        ASSERT_EQ(codec.encode(data.data(), n, reinterpret_cast<char*>(encoded.data())), core::kOk);
        ASSERT_TRUE(encoded.GuardsIntact()) << n;
        const Bytes chars = encoded.Contents();
        const std::string text(chars.begin(), chars.end());
        ASSERT_EQ(text.find_first_not_of(codec.alphabet), std::string::npos) << text;
        const DecodeResult r = Decode(codec.format, text);
        ASSERT_EQ(r.code, core::kOk) << text;
        ASSERT_TRUE(r.guardsIntact) << text;
        ASSERT_EQ(r.written, data) << text;
    }
}

TEST_P(EveryCodec, EmptyInputsWriteNothing) {
    const Codec& codec = GetParam();
    Guarded destination(0);
    EXPECT_EQ(codec.encode(nullptr, 0, reinterpret_cast<char*>(destination.data())), core::kOk);
    EXPECT_EQ(codec.encode(nullptr, 0, nullptr), core::kOk);
    EXPECT_EQ(codec.decode("", destination.data()), core::kOk);
    EXPECT_TRUE(destination.GuardsIntact());
}

TEST_P(EveryCodec, NullPointersAreReported) {
    const Codec& codec = GetParam();
    const uint8_t data[3] = {1, 2, 3};
    char text[8];
    uint8_t bytes[8];
    EXPECT_EQ(codec.encode(nullptr, 3, text), core::kNullPointer);
    EXPECT_EQ(codec.encode(data, 3, nullptr), core::kNullPointer);
    EXPECT_EQ(codec.decode(nullptr, bytes), core::kNullPointer);
    EXPECT_EQ(codec.decode("AAAA", nullptr), core::kNullPointer);
}

// A random text: either arbitrary bytes biased towards the characters that steer
// the decoders, or a valid encoding with blanks, padding and stray bytes inserted,
// replaced or removed, which is how texts with blanks inside the padding arise.
std::string RandomText(const Codec& codec, std::mt19937& rng) {
    const std::string steering = std::string(codec.alphabet) + "==== \r\n\t!{[z\x7f\x80\xff";
    auto anyByte = [&] { return static_cast<char>(1 + rng() % 255); };
    auto steer = [&] { return rng() % 4 == 0 ? anyByte() : steering[rng() % steering.size()]; };
    std::string text;
    if (rng() % 2 == 0) {
        const size_t length = rng() % 24;
        for (size_t i = 0; i < length; ++i) text.push_back(steer());
        return text;
    }
    Bytes data(rng() % 16);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    text.assign(EncodedLength(codec.format, data.size()), 0);
    codec.encode(data.data(), static_cast<uint32_t>(data.size()), text.data());
    for (int edits = 1 + rng() % 3; edits > 0; --edits) {
        const size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
        switch (rng() % 4) {
            case 0:
                text.insert(at, 1, " \r\n\t!\x80"[rng() % 6]);
                break;
            case 1:
                text.insert(at, 1, steer());
                break;
            case 2:
                if (at < text.size()) text[at] = steer();
                break;
            default:
                if (at < text.size()) text.erase(at, 1);
                break;
        }
    }
    return text;
}

TEST_P(EveryCodec, ArbitraryTextsStayWithinTheCallersRoom) {
    const Codec& codec = GetParam();
    std::mt19937 rng(20240601);
    int accepted = 0;
    for (int round = 0; round < 40000; ++round) {
        const std::string text = RandomText(codec, rng);
        const DecodeResult r = Decode(codec.format, text);
        ASSERT_TRUE(r.guardsIntact) << '"' << Printable(text) << '"';
        if (codec.format == Format::kHexa) {
            ASSERT_EQ(r.code, core::kOk);
        } else {
            ASSERT_TRUE(r.code == core::kOk || r.code == core::kMallocFails) << r.code;
            if (r.code != core::kOk) {
                ASSERT_TRUE(r.written.empty()) << '"' << Printable(text) << '"';
            }
        }
        accepted += r.code == core::kOk && !r.written.empty();
    }
    EXPECT_GT(accepted, 2000);  // the loop must reach the decoding paths, not only refusals
}

INSTANTIATE_TEST_SUITE_P(All, EveryCodec, testing::ValuesIn(kCodecs),
                         [](const testing::TestParamInfo<Codec>& info) { return info.param.name; });

// --- RemoveBlanks ----------------------------------------------------------------

TEST(RemoveBlanks, KeepsOnlyCharactersFromTheQuoteUpTo0x7F) {
    const std::string text =
        "a b\tc\r\n!d\x01\x1f\"#\x7f\x80\xc3\xa9\xff"
        "e";
    auto exact = ExactText(text);
    std::vector<char> destination(text.size() + 1, 'X');
    ASSERT_EQ(core::RemoveBlanks(exact.get(), destination.data()), core::kOk);
    EXPECT_STREQ(destination.data(),
                 "abcd\"#\x7f"
                 "e");
}

TEST(RemoveBlanks, WorksInPlaceAndOnEdgeTexts) {
    char text[] = "  Zm9v \r\nYmFy  ";
    ASSERT_EQ(core::RemoveBlanks(text, text), core::kOk);
    EXPECT_STREQ(text, "Zm9vYmFy");

    char empty[] = "";
    char out[1] = {'X'};
    ASSERT_EQ(core::RemoveBlanks(empty, out), core::kOk);
    EXPECT_EQ(out[0], 0);
    char blanks[] = " \t\r\n!";
    ASSERT_EQ(core::RemoveBlanks(blanks, blanks), core::kOk);
    EXPECT_STREQ(blanks, "");

    EXPECT_EQ(core::RemoveBlanks(nullptr, out), core::kNullPointer);
    EXPECT_EQ(core::RemoveBlanks(empty, nullptr), core::kNullPointer);
}

}  // namespace
