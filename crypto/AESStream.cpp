// File and stream operations of TAESEncryption.
#include <algorithm>
#include <cstring>

#include "crypto/AESKeyMaterial.h"
#include "crypto/AESObj.h"
#include "crypto/EQuorin.h"
#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/random.h"
#include "platform/File.h"
#include "rtl/Exception.h"

namespace {

constexpr int64_t kChunk = TAESEncryption::kChunkSize;
constexpr uint32_t kChunkBlocks = static_cast<uint32_t>(kChunk / 16);

// The two chunk buffers of one operation, zero-filled at the start and wiped
// at the end.
struct ChunkBuffers {
    ChunkBuffers() : input(kChunk), output(kChunk) {}
    ~ChunkBuffers() {
        aesobj::Wipe(input.data(), input.size());
        aesobj::Wipe(output.data(), output.size());
    }
    ChunkBuffers(const ChunkBuffers&) = delete;
    ChunkBuffers& operator=(const ChunkBuffers&) = delete;

    TBytes input;
    TBytes output;
};

// The chaining state of one operation, wiped at the end.
struct ChainState {
    ~ChainState() { aesobj::Wipe(bytes, sizeof bytes); }
    uint8_t bytes[16] = {};
};

// The next chunk of the source, `count` bytes long: lent by a stream that holds
// a whole chunk in memory, otherwise read into `buffer`.
const uint8_t* NextChunk(rtl::TStream& s, uint8_t* buffer, int64_t& count) {
    const std::span<const uint8_t> chunk = s.ReadChunk(buffer, kChunk);
    count = static_cast<int64_t>(chunk.size());
    return chunk.data();
}

// Where a whole output chunk goes: straight into memory that the output stream
// lends, or into `buffer`, which WriteChunk then writes.
uint8_t* ChunkTarget(rtl::TStream& o, uint8_t* buffer) {
    const std::span<uint8_t> view = o.WriteView(kChunk);
    return static_cast<int64_t>(view.size()) == kChunk ? view.data() : buffer;
}

void WriteChunk(rtl::TStream& o, const uint8_t* target, const uint8_t* buffer) {
    if (target == buffer) o.WriteBuffer(buffer, kChunk);
}

void RunOnFiles(TAESEncryption& aes,
                void (TAESEncryption::*operation)(rtl::TStream&, rtl::TStream&),
                const rtl::String& s, const rtl::String& o) {
    rtl::TFileStream source(s, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    if (platform::FileExists(o)) platform::RemoveFile(o);
    try {
        rtl::TFileStream created(o, rtl::fmCreate | rtl::fmShareExclusive);
    } catch (const rtl::EFCreateError&) {
        throw rtl::Exception(u"Unable to create the file");
    }
    rtl::TFileStream output(o, rtl::fmOpenReadWrite | rtl::fmShareExclusive);
    (aes.*operation)(source, output);
}

}  // namespace

void TAESEncryption::EncryptFileW(const rtl::String& s, const rtl::String& o) {
    RunOnFiles(*this, &TAESEncryption::EncryptStream, s, o);
}

void TAESEncryption::DecryptFileW(const rtl::String& s, const rtl::String& o) {
    RunOnFiles(*this, &TAESEncryption::DecryptStream, s, o);
}

void TAESEncryption::EncryptStream(rtl::TStream& s, rtl::TStream& o) {
    s.SetPosition(0);
    o.SetPosition(0);
    SetProgress(0);
    const bool ecb = FType == TAESType::atECB;
    const bool padding = FPaddingMode == TPaddingMode::PKCS7;
    const uint32_t mode = static_cast<uint32_t>(FType);
    const aesobj::AesKeyMaterial material(FKey, FKeyLengthNum, FIV,
                                          !ecb && FIVMode == TIVMode::userdefined);
    const core::aes::Impl& impl = aesobj::Implementation();
    const int64_t size = s.Size();
    const auto report = [&](int64_t processed) {
        if (size > 0) SetProgress(static_cast<int32_t>(processed * 100 / size));
    };

    if (!padding && size % 16 != 0) throw EQuorin(core::kAesClearLength);
    ChainState state;
    if (!ecb) {
        if (FIVMode == TIVMode::rand) {
            CheckCore(core::RandomBytes(16, state.bytes));
            o.WriteBuffer(state.bytes, 16);
        } else {
            std::memcpy(state.bytes, material.iv, 16);
        }
    }

    ChunkBuffers buffers;
    uint8_t* const in = buffers.input.data();
    uint8_t* const out = buffers.output.data();
    int64_t processed = 0;
    int64_t r = 0;
    const uint8_t* chunk = nullptr;
    while ((chunk = NextChunk(s, in, r)), r == kChunk) {
        processed += kChunk;
        uint8_t* const target = ChunkTarget(o, out);
        CheckCore(core::aes::EncryptBlocks(impl, mode, chunk, target, kChunkBlocks,
                                           material.schedule, material.nk, state.bytes));
        WriteChunk(o, target, out);
        report(processed);
    }

    const int64_t f = padding ? r / 16 * 16 : r;
    // Only a source that ends before its size says can leave a partial block here.
    if (f % 16 != 0) throw EQuorin(core::kAesClearLength);
    std::fill(buffers.output.begin(), buffers.output.end(), uint8_t{0});
    CheckCore(core::aes::EncryptBlocks(impl, mode, in, out, static_cast<uint32_t>(f / 16),
                                       material.schedule, material.nk, state.bytes));
    o.WriteBuffer(out, f);
    processed += f;
    report(processed);

    if (padding) {
        ChainState last;
        std::memcpy(last.bytes, in + f, static_cast<size_t>(r - f));
        core::AesPadBlock(last.bytes, static_cast<uint32_t>(r - f));
        CheckCore(core::aes::EncryptBlocks(impl, mode, last.bytes, last.bytes, 1, material.schedule,
                                           material.nk, state.bytes));
        o.WriteBuffer(last.bytes, 16);
        SetProgress(100);
    }
}

void TAESEncryption::DecryptStream(rtl::TStream& s, rtl::TStream& o) {
    s.SetPosition(0);
    o.SetPosition(0);
    SetProgress(0);
    const bool ecb = FType == TAESType::atECB;
    const bool padding = FPaddingMode == TPaddingMode::PKCS7;
    const uint32_t mode = static_cast<uint32_t>(FType);
    const aesobj::AesKeyMaterial material(FKey, FKeyLengthNum, FIV,
                                          !ecb && FIVMode == TIVMode::userdefined);
    const core::aes::Impl& impl = aesobj::Implementation();
    const int64_t size = s.Size();
    const auto report = [&](int64_t processed) {
        if (size > 0) SetProgress(static_cast<int32_t>(processed * 100 / size));
    };

    const bool ivStored = !ecb && FIVMode == TIVMode::rand;
    if (ivStored && size < 16) throw EQuorin(core::kAesShortIvInput);
    const int64_t data = size - (ivStored ? 16 : 0);
    if (padding && data < 16) throw EQuorin(core::kAesCipherLength);
    if ((padding || mode != core::kAesCtr) && data % 16 != 0) throw EQuorin(core::kAesCipherLength);

    ChainState state;
    if (ivStored) {
        const std::span<const uint8_t> iv = s.ReadChunk(state.bytes, 16);
        if (iv.size() != 16) throw EQuorin(core::kAesShortIvInput);
        std::memmove(state.bytes, iv.data(), 16);
    } else if (!ecb) {
        std::memcpy(state.bytes, material.iv, 16);
    }

    // A chunk is decrypted in the loop only while ciphertext remains after it:
    // the final block (with PKCS7) or byte (without) is left to the final step.
    const int64_t lastSafe = data - (padding ? 16 : 1);
    ChunkBuffers buffers;
    uint8_t* const in = buffers.input.data();
    uint8_t* const out = buffers.output.data();
    int64_t readCount = 0;
    int64_t processed = 0;
    int64_t r = 0;
    const uint8_t* chunk = in;
    while (readCount <= lastSafe) {
        chunk = NextChunk(s, in, r);
        readCount += r;
        if (r != kChunk || readCount > lastSafe) break;
        processed += kChunk;
        uint8_t* const target = ChunkTarget(o, out);
        CheckCore(core::aes::DecryptBlocks(impl, mode, chunk, target, kChunkBlocks,
                                           material.schedule, material.nk, state.bytes));
        WriteChunk(o, target, out);
        report(processed);
    }
    if (readCount != data) throw EQuorin(core::kAesCipherLength);

    const int64_t f = padding ? r - 16 : r;
    std::fill(buffers.output.begin(), buffers.output.end(), uint8_t{0});
    // A short last CTR block is decrypted whole; only its leading bytes are written.
    CheckCore(core::aes::DecryptBlocks(impl, mode, chunk, out, static_cast<uint32_t>((f + 15) / 16),
                                       material.schedule, material.nk, state.bytes));
    o.WriteBuffer(out, f);
    processed += f;
    report(processed);

    if (padding) {
        ChainState last;
        CheckCore(core::aes::DecryptBlocks(impl, mode, chunk + f, last.bytes, 1, material.schedule,
                                           material.nk, state.bytes));
        const uint8_t b = last.bytes[15];
        if (b > 16) throw EQuorin(core::kAesBadPadding);
        o.WriteBuffer(last.bytes, 16 - b);
    }
    SetProgress(100);
}
