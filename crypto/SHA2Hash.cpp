#include "crypto/SHA2Hash.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "crypto/EQuorin.h"
#include "crypto/HashObj.h"
#include "crypto/core/sha2.h"
#include "rtl/Exception.h"

using rtl::String;

namespace {

// Initial hash values, FIPS 180-4 sections 5.3.3, 5.3.4 and 5.3.5.
constexpr uint32_t kInitial256[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
constexpr uint64_t kInitial384[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                     0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                     0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};
constexpr uint64_t kInitial512[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                     0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                     0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

struct Sha256Blocks {
    using Word = uint32_t;
    static constexpr size_t kBlock = 64;
    static constexpr size_t kRounds = 64;
    static void Constants(Word* table) { core::Sha256RoundConstants(table); }
    static void Compress(const uint8_t* block, const Word* constants, Word* state) {
        core::Sha256CompressBlock(block, constants, state);
    }
};

struct Sha512Blocks {
    using Word = uint64_t;
    static constexpr size_t kBlock = 128;
    static constexpr size_t kRounds = 80;
    static void Constants(Word* table) { core::Sha512RoundConstants(table); }
    static void Compress(const uint8_t* block, const Word* constants, Word* state) {
        core::Sha512CompressBlock(block, constants, state);
    }
};

// Bytes read from the stream at a time; a whole number of blocks of either size.
constexpr size_t kChunk = 64 * 1024;

template <typename Word>
void StoreBigEndian(Word value, uint8_t* out) {
    for (size_t i = 0; i < sizeof(Word); ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * (sizeof(Word) - 1 - i)));
}

// Exactly `count` bytes of the stream, lent or read into `buffer`; a stream
// that ends first is an error.
const uint8_t* ReadFully(rtl::TStream& stream, uint8_t* buffer, int64_t count) {
    const std::span<const uint8_t> bytes = stream.ReadChunk(buffer, count);
    if (static_cast<int64_t>(bytes.size()) != count) throw rtl::EReadError();
    return bytes.data();
}

// Pads and compresses `size` bytes of `stream` into `state`, reporting the
// bytes consumed after each block through `progress`.
template <typename Blocks, typename Progress>
void HashBlocks(rtl::TStream& stream, int64_t size, typename Blocks::Word state[8],
                Progress&& progress) {
    using Word = typename Blocks::Word;
    constexpr size_t L = Blocks::kBlock;
    Word constants[Blocks::kRounds];
    Blocks::Constants(constants);

    std::vector<uint8_t> chunk(kChunk);
    int64_t consumed = 0;
    const int64_t whole = size - size % static_cast<int64_t>(L);
    while (consumed < whole) {
        const int64_t n = std::min<int64_t>(whole - consumed, kChunk);
        const uint8_t* const bytes = ReadFully(stream, chunk.data(), n);
        for (int64_t at = 0; at < n; at += L) {
            Blocks::Compress(bytes + at, constants, state);
            consumed += L;
            progress(consumed);
        }
    }

    // The tail, the 0x80 terminator and the bit length (8 bytes for SHA-256,
    // 16 for SHA-384/512, big-endian) fill one or two final blocks.
    uint8_t last[2 * L] = {};
    const size_t tail = static_cast<size_t>(size - whole);
    std::memmove(last, ReadFully(stream, last, static_cast<int64_t>(tail)), tail);
    last[tail] = 0x80;
    const size_t blocks = tail + 1 + 2 * sizeof(Word) <= L ? 1 : 2;
    const uint64_t bits = static_cast<uint64_t>(size) << 3;
    const uint64_t bitsHigh = static_cast<uint64_t>(size) >> 61;
    uint8_t* length = last + blocks * L - 2 * sizeof(Word);
    if constexpr (sizeof(Word) == 8) StoreBigEndian<uint64_t>(bitsHigh, length);
    StoreBigEndian<uint64_t>(bits, length + 2 * sizeof(Word) - 8);
    for (size_t b = 0; b < blocks; ++b) {
        Blocks::Compress(last + b * L, constants, state);
        progress(size);
    }
}

template <typename Word>
size_t DigestOf(const Word state[8], size_t words, uint8_t* digest) {
    for (size_t i = 0; i < words; ++i) StoreBigEndian(state[i], digest + i * sizeof(Word));
    return words * sizeof(Word);
}

}  // namespace

TSHA2Hash::TSHA2Hash(rtl::TComponent* AOwner) : TOrvCryptBase(AOwner) {
    SetHashSizeBits(256);
}

TSHA2Hash::TSHA2Hash() : TSHA2Hash(static_cast<rtl::TComponent*>(nullptr)) {}

TSHA2Hash::TSHA2Hash(int32_t hashSizeBits, TConvertType outputFormat, TUnicode uni)
    : TOrvCryptBase(nullptr) {
    SetHashSizeBits(hashSizeBits);
    FOutputFormat = outputFormat;
    FUni = uni;
}

void TSHA2Hash::SetHashSizeBits(int32_t value) {
    if (value != 256 && value != 384 && value != 512)
        throw rtl::Exception(u"Incorrect size of the hash, must be 256, 384 or 512");
    FHashSizeBits = value;
}

void TSHA2Hash::SetProgress(int32_t value) {
    if (value == FProgress) return;
    FProgress = value;
    Change();
}

void TSHA2Hash::Change() {
    if (FOnChange) FOnChange(this);
}

String TSHA2Hash::Hash(const String& s) {
    TConvert convert(FOutputFormat);
    int32_t length = 0;
    SecretBytes message(convert.StringToBuffer(s, FUni, length));
    uint8_t digest[64] = {};
    CheckCore(core::Sha2Digest(message.data(), static_cast<uint32_t>(length),
                               static_cast<uint32_t>(FHashSizeBits), digest));
    return convert.CharToFormat(digest, FHashSizeBits / 8);
}

String TSHA2Hash::HashFile(const String& s) {
    rtl::TFileStream file(s, rtl::fmOpenRead | rtl::fmShareExclusive);
    return HashStream(file);
}

String TSHA2Hash::HashStream(rtl::TStream& s) {
    TConvert convert(FOutputFormat);
    s.SetPosition(0);
    SetProgress(0);
    const int64_t size = s.Size();
    if (size < 0) throw rtl::EReadError();
    // An empty stream has no intermediate step: 0, then 100.
    const auto progress = [this, size](int64_t consumed) {
        if (size > 0) SetProgress(static_cast<int32_t>(consumed * 100 / size));
    };
    uint8_t digest[64] = {};
    size_t digestLength = 0;
    if (FHashSizeBits == 256) {
        // The bit length of a SHA-256 message is a 64-bit number.
        if (size >= (int64_t{1} << 61)) throw EQuorin(-105);
        uint32_t state[8];
        std::copy(kInitial256, kInitial256 + 8, state);
        HashBlocks<Sha256Blocks>(s, size, state, progress);
        digestLength = DigestOf(state, 8, digest);
    } else {
        uint64_t state[8];
        const uint64_t* initial = FHashSizeBits == 384 ? kInitial384 : kInitial512;
        std::copy(initial, initial + 8, state);
        HashBlocks<Sha512Blocks>(s, size, state, progress);
        digestLength = DigestOf(state, FHashSizeBits == 384 ? 6 : 8, digest);
    }
    String result = convert.CharToFormat(digest, static_cast<int32_t>(digestLength));
    SetProgress(100);
    return result;
}

String TSHA2Hash::HMAC(const String& s, const String& k) {
    TConvert convert(FOutputFormat);
    int32_t length = 0;
    SecretBytes message(convert.StringToBuffer(s, FUni, length));
    SecretBytes key(convert.StringToBufferA(k, TUnicode::noUni));
    uint8_t mac[64] = {};
    CheckCore(core::Sha2Hmac(message.data(), static_cast<uint32_t>(length), key.data(),
                             static_cast<uint32_t>(k.size()), static_cast<uint32_t>(FHashSizeBits),
                             mac));
    return convert.CharToFormat(mac, FHashSizeBits / 8);
}

int32_t TSHA2Hash::VerifyHMAC(const String& s, const String& k, const String& h) {
    TConvert convert(FOutputFormat);
    int32_t length = 0;
    SecretBytes message(convert.StringToBuffer(s, FUni, length));
    SecretBytes key(convert.StringToBufferA(k, TUnicode::noUni));
    // A raw MAC text holds characters made by the 8-bit code page; converting
    // them back the same way gives the MAC bytes again, which the low-byte
    // decoding of FormatToChar does not for bytes 0x80 to 0x9F.
    const TBytes expected =
        FOutputFormat == TConvertType::raw ? convert.StringToByteArray(h) : convert.FormatToChar(h);
    // The comparison reads a whole digest: a shorter value cannot match, and
    // must not be read past its end.
    if (convert.CharLength(h) < FHashSizeBits / 8) return core::kSha2HmacMismatch;
    const int32_t code = core::Sha2HmacVerify(
        message.data(), static_cast<uint32_t>(length), key.data(), static_cast<uint32_t>(k.size()),
        static_cast<uint32_t>(FHashSizeBits), expected.data());
    if (code != core::kOk && code != core::kSha2HmacMismatch) throw EQuorin(code);
    return code;
}
