// DecryptStream with any settings, any ciphertext and sources that lie about their
// size (longer or shorter than what they deliver; lending their bytes or not), into
// an output stream that already holds data: a result or an rtl::Exception (EQuorin
// included), never another exception and no access outside a buffer.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "crypto/AESObj.h"
#include "fuzz/fuzz_support.h"
#include "rtl/Exception.h"
#include "rtl/Stream.h"

namespace {

// A source whose Size() says what the fuzzer chose, whatever it holds. It lends its
// bytes as memory streams do, or copies them in short pieces as files may.
class LyingStream : public rtl::TStream {
public:
    LyingStream(std::vector<uint8_t> bytes, int64_t claimed, bool lends, int64_t piece)
        : bytes_(std::move(bytes)), claimed_(claimed), lends_(lends), piece_(piece) {}
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = Available(std::min(count, piece_));
        if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
        position_ += n;
        return n;
    }
    std::span<const uint8_t> ReadView(int64_t count) override {
        if (!lends_) return {};
        const int64_t n = Available(count);
        const std::span<const uint8_t> view(bytes_.data() + position_, static_cast<size_t>(n));
        position_ += n;
        return view;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        const int64_t base = origin == rtl::TSeekOrigin::soBeginning ? 0
                             : origin == rtl::TSeekOrigin::soCurrent ? position_
                                                                     : claimed_;
        position_ = std::max<int64_t>(base + offset, 0);
        return position_;
    }
    int64_t Size() override { return claimed_; }
    void SetSize(int64_t) override {}

private:
    // What is really there from the position, up to `count`.
    int64_t Available(int64_t count) const {
        return std::clamp<int64_t>(static_cast<int64_t>(bytes_.size()) - position_, 0,
                                   std::max<int64_t>(count, 0));
    }

    std::vector<uint8_t> bytes_;
    int64_t claimed_;
    bool lends_;
    int64_t piece_;
    int64_t position_ = 0;
};

rtl::String Characters(FuzzedDataProvider& input, size_t count) {
    std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(count);
    bytes.resize(count, 'k');
    return fuzz::ByteText(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    TAESEncryption aes;
    const auto keyLength = static_cast<TAESKeyLength>(input.ConsumeIntegralInRange(0, 2));
    aes.SetKeyLength(keyLength);
    aes.SetKey(Characters(input, static_cast<size_t>(aes.keyLengthBits() / 8)));
    aes.SetAType(static_cast<TAESType>(input.ConsumeIntegralInRange(0, 3)));
    aes.SetPaddingMode(static_cast<TPaddingMode>(input.ConsumeIntegralInRange(0, 1)));
    aes.SetIVMode(static_cast<TIVMode>(input.ConsumeIntegralInRange(0, 1)));
    if (input.ConsumeBool()) aes.SetIV(Characters(input, 16));
    const bool lending = input.ConsumeBool();
    const auto lie = input.ConsumeIntegralInRange<int64_t>(-40, 40);
    const auto piece = input.ConsumeIntegralInRange<int64_t>(1, 4096);
    const auto outputHeld = input.ConsumeIntegralInRange<size_t>(0, 64);
    std::vector<uint8_t> ciphertext = input.ConsumeRemainingBytes<uint8_t>();
    const int64_t claimed = static_cast<int64_t>(ciphertext.size()) + lie;

    LyingStream source(std::move(ciphertext), claimed, lending, piece);
    rtl::TMemoryStream output(std::vector<uint8_t>(outputHeld, 0xEE));
    output.SetPosition(static_cast<int64_t>(outputHeld / 2));
    try {
        aes.DecryptStream(source, output);
    } catch (const rtl::Exception&) {
    }
    return 0;
}
