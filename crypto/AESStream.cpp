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

// What both directions work with: the settings, the key material, the block
// path and progress against the source's size.
struct StreamRun {
    StreamRun(TAESEncryption& aes, rtl::TStream& s)
        : aes(aes),
          ecb(aes.AType() == TAESType::atECB),
          padding(aes.paddingMode() == TPaddingMode::PKCS7),
          mode(static_cast<uint32_t>(aes.AType())),
          material(aes.key(), aes.keyLengthBits(), aes.IV(),
                   !ecb && aes.IVMode() == TIVMode::userdefined),
          impl(aesobj::Implementation()),
          size(s.Size()) {}

    void Report(int64_t processed) const {
        if (size > 0) aes.SetProgress(static_cast<int32_t>(processed * 100 / size));
    }

    TAESEncryption& aes;
    const bool ecb;
    const bool padding;
    const uint32_t mode;
    const aesobj::AesKeyMaterial material;
    const core::aes::Impl& impl;
    const int64_t size;
};

void RunOnFiles(TAESEncryption& aes,
                void (TAESEncryption::*operation)(rtl::TStream&, rtl::TStream&),
                const rtl::String& s, const rtl::String& o) {
    rtl::TFileStream source(s, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    // Windows' sharing refuses to recreate the open source; POSIX would let the
    // output, under any name of the same file, destroy it before it is read.
    if (platform::SameFile(s, o)) throw rtl::Exception(u"Unable to create the file");
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
    const StreamRun run(*this, s);

    if (!run.padding && run.size % 16 != 0) throw EQuorin(core::kAesClearLength);
    ChainState state;
    if (!run.ecb) {
        if (FIVMode == TIVMode::rand) {
            CheckCore(core::RandomBytes(16, state.bytes));
            o.WriteBuffer(state.bytes, 16);
        } else {
            std::memcpy(state.bytes, run.material.iv, 16);
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
        CheckCore(core::aes::EncryptBlocks(run.impl, run.mode, chunk, target, kChunkBlocks,
                                           run.material.schedule, run.material.nk, state.bytes));
        WriteChunk(o, target, out);
        run.Report(processed);
    }

    const int64_t f = run.padding ? r / 16 * 16 : r;
    // Only a source that ends before its size says can leave a partial block here.
    if (f % 16 != 0) throw EQuorin(core::kAesClearLength);
    std::fill(buffers.output.begin(), buffers.output.end(), uint8_t{0});
    CheckCore(core::aes::EncryptBlocks(run.impl, run.mode, in, out, static_cast<uint32_t>(f / 16),
                                       run.material.schedule, run.material.nk, state.bytes));
    o.WriteBuffer(out, f);
    processed += f;
    run.Report(processed);

    if (run.padding) {
        ChainState last;
        std::memcpy(last.bytes, in + f, static_cast<size_t>(r - f));
        core::AesPadBlock(last.bytes, static_cast<uint32_t>(r - f));
        CheckCore(core::aes::EncryptBlocks(run.impl, run.mode, last.bytes, last.bytes, 1,
                                           run.material.schedule, run.material.nk, state.bytes));
        o.WriteBuffer(last.bytes, 16);
        SetProgress(100);
    }
}

void TAESEncryption::DecryptStream(rtl::TStream& s, rtl::TStream& o) {
    s.SetPosition(0);
    o.SetPosition(0);
    SetProgress(0);
    const StreamRun run(*this, s);

    const bool ivStored = !run.ecb && FIVMode == TIVMode::rand;
    if (ivStored && run.size < 16) throw EQuorin(core::kAesShortIvInput);
    const int64_t data = run.size - (ivStored ? 16 : 0);
    if (run.padding && data < 16) throw EQuorin(core::kAesCipherLength);
    if ((run.padding || run.mode != core::kAesCtr) && data % 16 != 0)
        throw EQuorin(core::kAesCipherLength);

    ChainState state;
    if (ivStored) {
        const std::span<const uint8_t> iv = s.ReadChunk(state.bytes, 16);
        if (iv.size() != 16) throw EQuorin(core::kAesShortIvInput);
        std::memmove(state.bytes, iv.data(), 16);
    } else if (!run.ecb) {
        std::memcpy(state.bytes, run.material.iv, 16);
    }

    // A chunk is decrypted in the loop only while ciphertext remains after it:
    // the final block (with PKCS7) or byte (without) is left to the final step.
    const int64_t lastSafe = data - (run.padding ? 16 : 1);
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
        CheckCore(core::aes::DecryptBlocks(run.impl, run.mode, chunk, target, kChunkBlocks,
                                           run.material.schedule, run.material.nk, state.bytes));
        WriteChunk(o, target, out);
        run.Report(processed);
    }
    if (readCount != data) throw EQuorin(core::kAesCipherLength);

    const int64_t f = run.padding ? r - 16 : r;
    std::fill(buffers.output.begin(), buffers.output.end(), uint8_t{0});
    // A short last CTR block is decrypted whole; only its leading bytes are written.
    CheckCore(core::aes::DecryptBlocks(run.impl, run.mode, chunk, out,
                                       static_cast<uint32_t>((f + 15) / 16), run.material.schedule,
                                       run.material.nk, state.bytes));
    o.WriteBuffer(out, f);
    processed += f;
    run.Report(processed);

    if (run.padding) {
        ChainState last;
        CheckCore(core::aes::DecryptBlocks(run.impl, run.mode, chunk + f, last.bytes, 1,
                                           run.material.schedule, run.material.nk, state.bytes));
        const uint8_t b = last.bytes[15];
        if (b > 16) throw EQuorin(core::kAesBadPadding);
        o.WriteBuffer(last.bytes, 16 - b);
    }
    SetProgress(100);
}
