// Data beyond 4 GiB through EncryptStream and DecryptStream with the package
// settings, without holding it anywhere: the source is generated on the fly
// and the sink checks what arrives, so only 64-bit counts get it right.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "crypto/AESObj.h"
#include "crypto/core/aes.h"
#include "rtl/Stream.h"
#include "tests/crypto/aes_component_support.h"

namespace {

using aes_component_test::ProgressLog;

constexpr int64_t kSize = (int64_t{1} << 32) + 100003;  // not a multiple of 16
const rtl::String kKey = u"0123456789abcdef0123456789ABCDEF";

// Byte `offset` of the plaintext: different across every 4 GiB boundary.
uint8_t PlainAt(int64_t offset) {
    uint64_t x = static_cast<uint64_t>(offset >> 3) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    return static_cast<uint8_t>(x >> (8 * (offset & 7)));
}

void FillPlain(int64_t offset, uint8_t* out, int64_t count) {
    for (int64_t i = 0; i < count; ++i) out[i] = PlainAt(offset + i);
}

// The key schedule of kKey, as the component makes it.
struct Schedule {
    Schedule() {
        uint8_t key[32];
        for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(kKey[static_cast<size_t>(i)]);
        core::AesKeyExpansion(key, words, 8);
    }
    uint32_t words[core::kAesScheduleWords] = {};
};

// Write-only base: reads nothing, seeks only to where it stands.
class SinkBase : public rtl::TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        if (origin == rtl::TSeekOrigin::soBeginning) {
            EXPECT_EQ(offset, 0);
        }
        return written_;
    }
    int64_t Size() override { return written_; }
    void SetSize(int64_t) override {}
    int64_t written_ = 0;
};

// Takes the IV, decrypts the CBC blocks as they arrive and compares them with
// the plaintext and its PKCS#7 padding.
class DecryptingSink : public SinkBase {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        const uint8_t* in = static_cast<const uint8_t*>(buffer);
        for (int64_t i = 0; i < count;) {
            const int64_t take = std::min<int64_t>(count - i, 16 - pending_);
            std::memcpy(block_ + pending_, in + i, static_cast<size_t>(take));
            pending_ += take;
            i += take;
            if (pending_ == 16) Block();
        }
        written_ += count;
        return count;
    }
    int64_t mismatches_ = 0;

private:
    void Block() {
        pending_ = 0;
        if (!haveIv_) {
            std::memcpy(chain_, block_, 16);
            haveIv_ = true;
            return;
        }
        uint8_t plain[16];
        core::AesDecryptStep(core::kAesCbc, block_, plain, schedule_.words, 8, chain_);
        const uint8_t pad = static_cast<uint8_t>(16 - kSize % 16);
        for (int k = 0; k < 16; ++k, ++plainOffset_) {
            const uint8_t expected = plainOffset_ < kSize ? PlainAt(plainOffset_) : pad;
            if (plain[k] != expected) ++mismatches_;
        }
    }

    Schedule schedule_;
    uint8_t block_[16] = {};
    uint8_t chain_[16] = {};
    int64_t pending_ = 0;
    int64_t plainOffset_ = 0;
    bool haveIv_ = false;
};

// The plaintext, made on the fly.
class PlainSource : public rtl::TStream {
public:
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = std::clamp<int64_t>(kSize - position_, 0, count);
        FillPlain(position_, static_cast<uint8_t*>(buffer), n);
        position_ += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        if (origin == rtl::TSeekOrigin::soBeginning) position_ = offset;
        if (origin == rtl::TSeekOrigin::soEnd) position_ = kSize + offset;
        return position_;
    }
    int64_t Size() override { return kSize; }
    void SetSize(int64_t) override {}

private:
    int64_t position_ = 0;
};

// A fixed IV followed by the CBC encryption of the plaintext and its padding,
// made on the fly for one front-to-back reading.
class CipherSource : public rtl::TStream {
public:
    static constexpr int64_t kTotal = 16 + 16 * (kSize / 16 + 1);

    int64_t Read(void* buffer, int64_t count) override {
        uint8_t* out = static_cast<uint8_t*>(buffer);
        const int64_t n = std::clamp<int64_t>(kTotal - position_, 0, count);
        for (int64_t done = 0; done < n;) {
            if (stagedAt_ == staged_) Refill();
            const int64_t take = std::min(n - done, staged_ - stagedAt_);
            std::memcpy(out + done, stage_ + stagedAt_, static_cast<size_t>(take));
            stagedAt_ += take;
            done += take;
        }
        position_ += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        if (origin == rtl::TSeekOrigin::soBeginning) {
            EXPECT_EQ(offset, 0);
            position_ = 0;
            plainOffset_ = 0;
            staged_ = stagedAt_ = 0;
            ivSent_ = false;
        }
        return position_;
    }
    int64_t Size() override { return kTotal; }
    void SetSize(int64_t) override {}

private:
    void Refill() {
        stagedAt_ = 0;
        if (!ivSent_) {
            for (int i = 0; i < 16; ++i) chain_[i] = stage_[i] = static_cast<uint8_t>(0xA0 + i);
            staged_ = 16;
            ivSent_ = true;
            return;
        }
        const int64_t plain = std::min<int64_t>(sizeof stage_, kSize - plainOffset_);
        int64_t bytes = plain / 16 * 16;
        FillPlain(plainOffset_, stage_, bytes);
        if (plain < static_cast<int64_t>(sizeof stage_)) {
            const int64_t rest = plain - bytes;
            FillPlain(plainOffset_ + bytes, stage_ + bytes, rest);
            core::AesPadBlock(stage_ + bytes, static_cast<uint32_t>(rest));
            bytes += 16;
        }
        plainOffset_ += plain;
        core::AesEncryptBlocks(core::kAesCbc, stage_, stage_, static_cast<uint32_t>(bytes / 16),
                               schedule_.words, 8, chain_);
        staged_ = bytes;
    }

    Schedule schedule_;
    uint8_t stage_[1 << 16] = {};
    uint8_t chain_[16] = {};
    int64_t staged_ = 0;
    int64_t stagedAt_ = 0;
    int64_t position_ = 0;
    int64_t plainOffset_ = 0;
    bool ivSent_ = false;
};

// Compares what arrives with the plaintext.
class PlainCheckSink : public SinkBase {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        const uint8_t* in = static_cast<const uint8_t*>(buffer);
        for (int64_t i = 0; i < count; ++i)
            if (in[i] != PlainAt(written_ + i)) ++mismatches_;
        written_ += count;
        return count;
    }
    int64_t mismatches_ = 0;
};

std::vector<int32_t> OneToHundred() {
    std::vector<int32_t> values(100);
    std::iota(values.begin(), values.end(), 1);
    return values;
}

TEST(AesBeyondFourGiB, EncryptStreamWritesTheWholeCiphertext) {
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(kKey);
    ProgressLog log(aes);
    PlainSource source;
    DecryptingSink sink;
    aes.EncryptStream(source, sink);
    EXPECT_EQ(sink.written_, CipherSource::kTotal);
    EXPECT_EQ(sink.mismatches_, 0);
    // One percent is far more than a chunk, so every value shows exactly once.
    EXPECT_EQ(log.values, OneToHundred());
}

TEST(AesBeyondFourGiB, DecryptStreamGivesThePlaintextBack) {
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(kKey);
    ProgressLog log(aes);
    CipherSource source;
    PlainCheckSink sink;
    aes.DecryptStream(source, sink);
    EXPECT_EQ(sink.written_, kSize);
    EXPECT_EQ(sink.mismatches_, 0);
    EXPECT_EQ(log.values, OneToHundred());
}

}  // namespace
