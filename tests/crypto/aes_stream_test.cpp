#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <tuple>

#include "crypto/AESObj.h"
#include "crypto/EQuorin.h"
#include "crypto/core/aes.h"
#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"
#include "tests/crypto/aes_component_support.h"
#include "tests/support/scratch_folder.h"

namespace {

using aes_component_test::Bytes;
using aes_component_test::CodeOf;
using aes_component_test::Implementations;
using aes_component_test::MessageOf;
using aes_component_test::Pattern;
using aes_component_test::ProgressLog;
using aes_component_test::UseImpl;
using rtl::String;

const String kKey32 = u"0123456789abcdef0123456789ABCDEF";
const String kIv = u"fedcba9876543210";

constexpr auto ECB = TAESType::atECB, CBC = TAESType::atCBC, OFB = TAESType::atOFB,
               CTR = TAESType::atCTR;
constexpr auto RAND = TIVMode::rand, USER = TIVMode::userdefined;
constexpr auto PAD = TPaddingMode::PKCS7, NOPAD = TPaddingMode::nopadding;

struct Settings {
    TAESType mode = CBC;
    TIVMode ivMode = RAND;
    TPaddingMode padding = PAD;
};

// The package settings unless told otherwise: kl256, CBC, rand, PKCS7.
void Configure(TAESEncryption& aes, const Settings& settings = {}) {
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(kKey32);
    aes.SetIV(kIv);
    aes.SetAType(settings.mode);
    aes.SetIVMode(settings.ivMode);
    aes.SetPaddingMode(settings.padding);
}

Bytes Process(TAESEncryption& aes, bool encrypt, const Bytes& input) {
    rtl::TMemoryStream source(input);
    rtl::TMemoryStream output;
    encrypt ? aes.EncryptStream(source, output) : aes.DecryptStream(source, output);
    return output.Bytes();
}

// A pointer the core accepts also for no bytes.
const uint8_t* Held(const Bytes& bytes) {
    static const uint8_t none = 0;
    return bytes.empty() ? &none : bytes.data();
}

// A source stream that can claim a size other than what it holds and hand
// out at most `maxRead` bytes per read; a sink that fails after `writeLimit`.
class TestStream : public rtl::TStream {
public:
    explicit TestStream(Bytes bytes)
        : claimed_(static_cast<int64_t>(bytes.size())), bytes_(std::move(bytes)) {}
    int64_t claimed_;
    int64_t maxRead_ = INT64_MAX;
    int64_t writeLimit_ = INT64_MAX;

    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = std::clamp<int64_t>(
            std::min<int64_t>(static_cast<int64_t>(bytes_.size()) - position_, maxRead_), 0, count);
        std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
        position_ += n;
        return n;
    }
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t n = std::min(count, writeLimit_ - position_);
        if (n <= 0) return 0;
        if (position_ + n > static_cast<int64_t>(bytes_.size()))
            bytes_.resize(static_cast<size_t>(position_ + n));
        std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(n));
        position_ += n;
        return n;
    }
    int64_t Seek(int64_t offset, rtl::TSeekOrigin origin) override {
        position_ = (origin == rtl::TSeekOrigin::soBeginning ? 0
                     : origin == rtl::TSeekOrigin::soCurrent ? position_
                                                             : claimed_) +
                    offset;
        return position_;
    }
    int64_t Size() override { return claimed_; }
    void SetSize(int64_t) override {}
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    int64_t position_ = 0;
};

// ---------------------------------------------------------------- layout

struct LayoutCase {
    Settings settings;
    size_t plain;
    size_t cipher;
};

class AesStreamLayout
    : public testing::TestWithParam<std::tuple<const core::aes::Impl*, LayoutCase>> {};

TEST_P(AesStreamLayout, SizeRoundTripAndAgreementWithTheBufferFunctions) {
    const auto& [impl, row] = GetParam();
    const UseImpl use(impl);
    TAESEncryption aes;
    Configure(aes, row.settings);
    const Bytes plain = Pattern(row.plain, static_cast<uint32_t>(row.plain));
    const Bytes cipher = Process(aes, true, plain);
    ASSERT_EQ(cipher.size(), row.cipher);
    EXPECT_EQ(aes.Progress(), row.plain == 0 && row.settings.padding == NOPAD ? 0 : 100);
    EXPECT_EQ(Process(aes, false, cipher), plain);
    EXPECT_EQ(aes.Progress(), 100);

    // The core's one-shot functions read and write the same layout.
    const uint8_t key[32] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a',
                             'b', 'c', 'd', 'e', 'f', '0', '1', '2', '3', '4', '5',
                             '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    const uint8_t iv[16] = {'f', 'e', 'd', 'c', 'b', 'a', '9', '8',
                            '7', '6', '5', '4', '3', '2', '1', '0'};
    const uint8_t ivFlag = row.settings.ivMode == RAND ? 1 : 0;
    const uint8_t padFlag = row.settings.padding == PAD ? 1 : 0;
    const uint32_t mode = static_cast<uint32_t>(row.settings.mode);
    Bytes decrypted(cipher.size() + 16);
    uint32_t length = 0;
    ASSERT_EQ(
        core::AesDecryptBuffer(Held(cipher), static_cast<uint32_t>(cipher.size()), decrypted.data(),
                               &length, key, 256, ivFlag, iv, padFlag, mode),
        0);
    if (padFlag) decrypted.resize(length);
    if (!padFlag) decrypted.resize(row.plain);
    EXPECT_EQ(decrypted, plain);

    Bytes fromBuffer(row.cipher + 16);
    ASSERT_EQ(
        core::AesEncryptBuffer(Held(plain), static_cast<uint32_t>(plain.size()), fromBuffer.data(),
                               &length, key, 256, ivFlag, iv, padFlag, mode),
        0);
    ASSERT_EQ(length, row.cipher);
    fromBuffer.resize(length);
    EXPECT_EQ(Process(aes, false, fromBuffer), plain);
}

constexpr size_t kChunk = 160000;

INSTANTIATE_TEST_SUITE_P(
    Table, AesStreamLayout,
    testing::Combine(
        testing::ValuesIn(Implementations()),
        testing::Values(LayoutCase{{CBC, RAND, PAD}, 0, 32}, LayoutCase{{CBC, RAND, PAD}, 15, 32},
                        LayoutCase{{CBC, RAND, PAD}, 16, 48}, LayoutCase{{CBC, RAND, PAD}, 17, 48},
                        LayoutCase{{CBC, RAND, PAD}, kChunk - 1, kChunk + 16},
                        LayoutCase{{CBC, RAND, PAD}, kChunk, kChunk + 32},
                        LayoutCase{{CBC, RAND, PAD}, kChunk + 1, kChunk + 32},
                        LayoutCase{{CBC, RAND, PAD}, 1000000, 1000032},
                        LayoutCase{{CBC, USER, PAD}, 2 * kChunk + 5, 2 * kChunk + 16},
                        LayoutCase{{ECB, RAND, PAD}, kChunk + 20, kChunk + 32},
                        LayoutCase{{OFB, RAND, PAD}, 33, 64},
                        LayoutCase{{CTR, USER, PAD}, kChunk - 16, kChunk},
                        LayoutCase{{CTR, RAND, PAD}, 0, 32}, LayoutCase{{CBC, RAND, NOPAD}, 32, 48},
                        LayoutCase{{CBC, RAND, NOPAD}, 0, 16}, LayoutCase{{ECB, USER, NOPAD}, 0, 0},
                        LayoutCase{{ECB, RAND, NOPAD}, kChunk, kChunk},
                        LayoutCase{{OFB, USER, NOPAD}, kChunk + 16, kChunk + 16},
                        LayoutCase{{CTR, RAND, NOPAD}, 2 * kChunk, 2 * kChunk + 16},
                        LayoutCase{{CTR, USER, NOPAD}, 48, 48})),
    [](const auto& info) {
        return aes_component_test::ImplName(std::get<0>(info.param)) + "_" +
               std::to_string(info.index);
    });

TEST(AesStream, PackageLayoutOfAnEmptyAndAChunkSizedSource) {
    TAESEncryption aes;
    Configure(aes);
    for (size_t size : {size_t{0}, kChunk}) {
        const Bytes cipher = Process(aes, true, Bytes(size, 0x5A));
        ASSERT_EQ(cipher.size(), size + 32);
        // The last 16 bytes are sixteen 0x10 chained to the block before them.
        TAESEncryption raw;
        Configure(raw, {CBC, RAND, NOPAD});
        const Bytes tail(cipher.end() - 32, cipher.end());
        EXPECT_EQ(Process(raw, false, tail), Bytes(16, 0x10));
    }
}

TEST(AesStream, EncryptionAndDecryptionWithAUserIvStoreNoIvAndNeedTheSameIv) {
    TAESEncryption aes;
    Configure(aes, {CBC, USER, PAD});
    const Bytes plain = Pattern(100, 3);
    const Bytes cipher = Process(aes, true, plain);
    EXPECT_EQ(cipher, Process(aes, true, plain));
    aes.SetIV(u"0000000000000000");
    const Bytes other = Process(aes, false, cipher);
    EXPECT_NE(Bytes(other.begin(), other.begin() + 16), Bytes(plain.begin(), plain.begin() + 16));
    EXPECT_EQ(Bytes(other.begin() + 16, other.end()), Bytes(plain.begin() + 16, plain.end()));
}

TEST(AesStream, ReadsTheWholeSourceAndWritesFromTheStartWithoutTruncating) {
    TAESEncryption aes;
    Configure(aes, {ECB, RAND, PAD});
    const Bytes plain = Pattern(40, 9);
    const Bytes expected = Process(aes, true, plain);
    rtl::TMemoryStream source(plain);
    source.SetPosition(25);
    rtl::TMemoryStream output(Bytes(100, 0xEE));
    output.SetPosition(70);
    aes.EncryptStream(source, output);
    EXPECT_EQ(Bytes(output.Bytes().begin(), output.Bytes().begin() + 48), expected);
    EXPECT_EQ(Bytes(output.Bytes().begin() + 48, output.Bytes().end()), Bytes(52, 0xEE));
}

TEST(AesStream, DecryptionAlsoReadsEverythingAndWritesFromTheStart) {
    TAESEncryption aes;
    Configure(aes, {CBC, RAND, PAD});
    const Bytes plain = Pattern(40, 10);
    rtl::TMemoryStream source(Process(aes, true, plain));
    source.SetPosition(30);
    rtl::TMemoryStream output(Bytes(100, 0xEE));
    output.SetPosition(70);
    aes.DecryptStream(source, output);
    EXPECT_EQ(Bytes(output.Bytes().begin(), output.Bytes().begin() + 40), plain);
    EXPECT_EQ(Bytes(output.Bytes().begin() + 40, output.Bytes().end()), Bytes(60, 0xEE));
}

TEST(AesStream, ChunksDeliveredInPiecesGiveTheSameResult) {
    TAESEncryption aes;
    Configure(aes, {CTR, USER, NOPAD});
    const Bytes plain = Pattern(kChunk + 4000, 5);
    TestStream pieces(plain);
    pieces.maxRead_ = 999;
    rtl::TMemoryStream output;
    aes.EncryptStream(pieces, output);
    EXPECT_EQ(output.Bytes(), Process(aes, true, plain));
}

// ---------------------------------------------------------------- progress

TEST(AesStreamProgress, SequencesOfTheChunkLoop) {
    struct Case {
        bool encrypt;
        size_t size;
        std::vector<int32_t> events;
    };
    const std::vector<Case> cases{
        {true, 1000000, {16, 32, 48, 64, 80, 96, 100}},
        {true, kChunk, {100}},
        {true, 0, {100}},
        {false, kChunk + 32, {99, 100}},
        {false, 32, {100}},
    };
    for (const Case& c : cases) {
        TAESEncryption producer;
        Configure(producer);
        const Bytes input =
            c.encrypt ? Pattern(c.size, 1) : Process(producer, true, Pattern(c.size - 32, 1));
        TAESEncryption aes;
        Configure(aes);
        ProgressLog log(aes);
        Process(aes, c.encrypt, input);
        EXPECT_EQ(log.values, c.events) << (c.encrypt ? "encrypt " : "decrypt ") << c.size;
    }
}

TEST(AesStreamProgress, SecondRunStartsWithZero) {
    TAESEncryption aes;
    Configure(aes);
    ProgressLog log(aes);
    Process(aes, true, Bytes(10));
    Process(aes, true, Bytes(10));
    EXPECT_EQ(log.values, (std::vector<int32_t>{100, 0, 100}));
}

TEST(AesStreamProgress, EmptySourceWithoutPaddingKeepsProgress) {
    TAESEncryption aes;
    Configure(aes, {CBC, RAND, NOPAD});
    aes.SetProgress(0);
    ProgressLog log(aes);
    EXPECT_EQ(Process(aes, true, {}).size(), 16u);
    EXPECT_TRUE(log.values.empty());
}

TEST(AesStreamProgress, AThrowingHandlerStopsTheOperation) {
    TAESEncryption aes;
    Configure(aes);
    aes.SetOnChange([&](rtl::TObject*) {
        if (aes.Progress() > 0) throw rtl::Exception(u"stop");
    });
    rtl::TMemoryStream source(Pattern(3 * kChunk, 2));
    rtl::TMemoryStream output;
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { aes.EncryptStream(source, output); }), u"stop");
    EXPECT_EQ(output.Size(), static_cast<int64_t>(16 + kChunk));
}

// ---------------------------------------------------------------- failures

struct Refusal {
    const char* name;
    Settings settings;
    size_t size;
    int32_t code;
};

class AesDecryptRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(AesDecryptRefusal, ShortOrRaggedSourcesAreRefusedBeforeWriting) {
    const Refusal& row = GetParam();
    TAESEncryption aes;
    Configure(aes, row.settings);
    TestStream source(Pattern(row.size, 4));
    TestStream output({});
    EXPECT_EQ(CodeOf([&] { aes.DecryptStream(source, output); }), row.code);
    EXPECT_TRUE(output.bytes().empty());
    EXPECT_EQ(aes.Progress(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AesDecryptRefusal,
    testing::Values(Refusal{"EmptyWithIv", {CBC, RAND, PAD}, 0, -212},
                    Refusal{"PartOfIv", {CBC, RAND, PAD}, 15, -212},
                    Refusal{"IvAlone", {CBC, RAND, PAD}, 16, -207},
                    Refusal{"IvAndPartBlock", {CBC, RAND, PAD}, 31, -207},
                    Refusal{"RaggedCbc", {CBC, RAND, PAD}, 16 + kChunk + 8, -207},
                    Refusal{"CtrPaddedRagged", {CTR, USER, PAD}, 40, -207},
                    Refusal{"CtrNoPadPartOfIv", {CTR, RAND, NOPAD}, 5, -212},
                    Refusal{"EcbEmpty", {ECB, RAND, PAD}, 0, -207},
                    Refusal{"EcbPartBlock", {ECB, USER, PAD}, 15, -207},
                    Refusal{"UserNoPadRagged", {OFB, USER, NOPAD}, 20, -207}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(AesStreamFailure, EmptyCiphertextWithoutPaddingDecryptsToNothing) {
    for (const Settings& settings :
         {Settings{CBC, RAND, NOPAD}, Settings{ECB, USER, NOPAD}, Settings{CTR, RAND, NOPAD}}) {
        TAESEncryption aes;
        Configure(aes, settings);
        EXPECT_TRUE(Process(aes, false, Process(aes, true, {})).empty());
        EXPECT_EQ(aes.Progress(), 100);
    }
    TAESEncryption ctr;
    Configure(ctr, {CTR, USER, NOPAD});
    const Bytes odd = Pattern(kChunk + 21, 8);
    EXPECT_EQ(Process(ctr, false, Process(ctr, true, Bytes(kChunk + 32))).size(), kChunk + 32);
    // CTR decryption is its own inverse, also for a ragged length.
    const Bytes once = Process(ctr, false, odd);
    EXPECT_EQ(once.size(), odd.size());
    EXPECT_EQ(Process(ctr, false, once), odd);
}

TEST(AesStreamFailure, NoPaddingEncryptionOfARaggedSizeWritesNothing) {
    TAESEncryption aes;
    Configure(aes, {CTR, RAND, NOPAD});
    TestStream source(Pattern(20, 1));
    TestStream output({});
    try {
        aes.EncryptStream(source, output);
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -211);
        EXPECT_EQ(e.Message(),
                  u"error : in AES with no padding, the length of the clear text must be a "
                  u"multiple of 16 bytes!");
    }
    EXPECT_TRUE(output.bytes().empty());
}

TEST(AesStreamFailure, BadPaddingKeepsEveryBlockButTheLast) {
    TAESEncryption raw;
    Configure(raw, {CBC, USER, NOPAD});
    Bytes plain = Pattern(2 * kChunk + 32, 6);
    plain.back() = 0x11;
    const Bytes cipher = Process(raw, true, plain);
    TAESEncryption padded;
    Configure(padded, {CBC, USER, PAD});
    rtl::TMemoryStream source(cipher);
    rtl::TMemoryStream output;
    try {
        padded.DecryptStream(source, output);
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -208);
        EXPECT_EQ(e.Message(),
                  u"error : in AES, the cipher text cannot be decrypted because the padding is "
                  u"not correct!");
    }
    EXPECT_EQ(output.Bytes(), Bytes(plain.begin(), plain.end() - 16));
}

TEST(AesStreamFailure, MissingKeyOrIvIsRefusedBeforeWriting) {
    struct Case {
        const char16_t* key;
        TIVMode ivMode;
        const char16_t* message;
    };
    for (const Case& c :
         {Case{u"", RAND, u"Keylength incorrect, must be 32"},
          Case{u"0123456789abcdef", RAND, u"Keylength incorrect, must be 32"},
          Case{u"0123456789abcdef0123456789ABCDEF", USER, u"IV length incorrect, must be 16"}}) {
        TAESEncryption aes;
        aes.SetKey(String(c.key).substr(0, 16));
        aes.SetKeyLength(TAESKeyLength::kl256);
        if (String(c.key).size() == 32) aes.SetKey(c.key);
        aes.SetIVMode(c.ivMode);
        for (bool encrypt : {true, false}) {
            TestStream source(Pattern(64, 1));
            TestStream output({});
            EXPECT_EQ(MessageOf<rtl::Exception>([&] {
                          encrypt ? aes.EncryptStream(source, output)
                                  : aes.DecryptStream(source, output);
                      }),
                      c.message);
            EXPECT_TRUE(output.bytes().empty());
        }
    }
}

TEST(AesStreamFailure, SourceShorterThanItsSizeIsRefusedNotOverrun) {
    TAESEncryption aes;
    Configure(aes);
    const Bytes cipher = Process(aes, true, Pattern(kChunk + 100, 2));
    for (size_t held : {size_t{16}, size_t{40}, kChunk, cipher.size() - 16}) {
        TestStream source(Bytes(cipher.begin(), cipher.begin() + static_cast<long>(held)));
        source.claimed_ = static_cast<int64_t>(cipher.size());
        rtl::TMemoryStream output;
        EXPECT_EQ(CodeOf([&] { aes.DecryptStream(source, output); }), -207) << held;
    }
    TAESEncryption raw;
    Configure(raw, {ECB, RAND, NOPAD});
    TestStream source(Pattern(40, 1));
    source.claimed_ = 48;
    rtl::TMemoryStream output;
    EXPECT_EQ(CodeOf([&] { raw.EncryptStream(source, output); }), -211);
}

TEST(AesStreamFailure, WriteErrorsOfTheOutputPropagate) {
    TAESEncryption aes;
    Configure(aes);
    rtl::TMemoryStream source(Pattern(3 * kChunk, 3));
    TestStream output({});
    output.writeLimit_ = kChunk;
    EXPECT_THROW(aes.EncryptStream(source, output), rtl::EWriteError);
}

// ---------------------------------------------------------------- files

class AesFiles : public test_support::ScratchFolder {
protected:
    void Put(const String& path, const Bytes& bytes) {
        std::ofstream out(std::filesystem::path(path), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Get(const String& path) {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(AesFiles, RoundTripReplacesAnExistingOutput) {
    TAESEncryption aes;
    Configure(aes);
    const Bytes plain = Pattern(1000000, 11);
    Put(Path(u"plain.bin"), plain);
    Put(Path(u"cipher.bin"), Bytes(3000000, 1));
    aes.EncryptFileW(Path(u"plain.bin"), Path(u"cipher.bin"));
    EXPECT_EQ(Get(Path(u"cipher.bin")).size(), 1000032u);
    aes.DecryptFileW(Path(u"cipher.bin"), Path(u"d\u00E9crypt\u00E9.bin"));
    EXPECT_EQ(Get(Path(u"d\u00E9crypt\u00E9.bin")), plain);
}

TEST_F(AesFiles, MissingSourceLeavesTheOutputUntouched) {
    TAESEncryption aes;
    Configure(aes);
    Put(Path(u"out.bin"), Bytes{1, 2, 3});
    EXPECT_THROW(aes.EncryptFileW(Path(u"missing.bin"), Path(u"out.bin")), rtl::EFOpenError);
    EXPECT_THROW(aes.DecryptFileW(Path(u"missing.bin"), Path(u"out.bin")), rtl::EFOpenError);
    EXPECT_EQ(Get(Path(u"out.bin")), (Bytes{1, 2, 3}));
}

TEST_F(AesFiles, UncreatableOutputRaisesTheFixedMessage) {
    TAESEncryption aes;
    Configure(aes);
    Put(Path(u"plain.bin"), Bytes(10));
    const String output = folder_ + u"no-such-folder" + rtl::PathDelim + u"out.bin";
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { aes.EncryptFileW(Path(u"plain.bin"), output); }),
              u"Unable to create the file");
}

// POSIX lets a file be recreated while it is open for reading: an output that is
// the source itself, by any name, would be destroyed before it is read.
TEST_F(AesFiles, OutputThatIsTheSourceIsRefusedBeforeAnythingIsWritten) {
    TAESEncryption aes;
    Configure(aes);
    const Bytes cipher = Pattern(1024, 12);
    Put(Path(u"data.bin"), cipher);
    std::filesystem::create_hard_link(std::filesystem::path(Path(u"data.bin")),
                                      std::filesystem::path(Path(u"link.bin")));
    using Operation = void (TAESEncryption::*)(const String&, const String&);
    for (const Operation operation : {&TAESEncryption::DecryptFileW, &TAESEncryption::EncryptFileW})
        for (const char16_t* output : {u"data.bin", u"link.bin"}) {
            EXPECT_EQ(MessageOf<rtl::Exception>(
                          [&] { (aes.*operation)(Path(u"data.bin"), Path(output)); }),
                      u"Unable to create the file");
            EXPECT_EQ(Get(Path(u"data.bin")), cipher);
        }
}

TEST_F(AesFiles, NoPaddingRaggedSourceLeavesAnEmptyOutputAndBlocksRoundTrip) {
    TAESEncryption aes;
    Configure(aes, {CBC, RAND, NOPAD});
    Put(Path(u"twenty.bin"), Pattern(20, 1));
    EXPECT_EQ(CodeOf([&] { aes.EncryptFileW(Path(u"twenty.bin"), Path(u"out.bin")); }), -211);
    EXPECT_TRUE(platform::FileExists(Path(u"out.bin")));
    EXPECT_TRUE(Get(Path(u"out.bin")).empty());

    const Bytes plain = Pattern(32, 2);
    Put(Path(u"blocks.bin"), plain);
    aes.EncryptFileW(Path(u"blocks.bin"), Path(u"out.bin"));
    EXPECT_EQ(Get(Path(u"out.bin")).size(), 48u);
    aes.DecryptFileW(Path(u"out.bin"), Path(u"back.bin"));
    EXPECT_EQ(Get(Path(u"back.bin")), plain);
}

}  // namespace
