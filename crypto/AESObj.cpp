#include "crypto/AESObj.h"

#include <algorithm>
#include <atomic>

#include "crypto/AESKeyMaterial.h"
#include "crypto/EQuorin.h"
#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "rtl/Exception.h"

namespace aesobj {

namespace {
std::atomic<const core::aes::Impl*> chosen{nullptr};
}

void UseImplementation(const core::aes::Impl* impl) {
    chosen.store(impl);
}

const core::aes::Impl& Implementation() {
    const core::aes::Impl* impl = chosen.load();
    return impl != nullptr ? *impl : core::aes::Active();
}

}  // namespace aesobj

namespace {

// Wipes a local buffer on every way out of the scope.
class ScopedWipe {
public:
    explicit ScopedWipe(TBytes& bytes) : bytes_(bytes) {}
    ~ScopedWipe() { aesobj::Wipe(bytes_.data(), bytes_.size()); }
    ScopedWipe(const ScopedWipe&) = delete;
    ScopedWipe& operator=(const ScopedWipe&) = delete;

private:
    TBytes& bytes_;
};

}  // namespace

TAESEncryption::TAESEncryption(rtl::TComponent* AOwner) : TOrvCryptBase(AOwner) {}

TAESEncryption::TAESEncryption() : TOrvCryptBase(nullptr) {}

TAESEncryption::TAESEncryption(TAESKeyLength keyLength, const rtl::String& key, TAESType AType,
                               TPaddingMode paddingMode, TConvertType outputFormat, TUnicode uni)
    : TOrvCryptBase(nullptr) {
    SetKeyLength(keyLength);
    SetKey(key);
    FType = AType;
    FPaddingMode = paddingMode;
    FOutputFormat = outputFormat;
    FIVMode = TIVMode::rand;
    FUni = uni;
}

TAESEncryption::TAESEncryption(TAESKeyLength keyLength, const rtl::String& key, TAESType AType,
                               TPaddingMode paddingMode, TConvertType outputFormat, TUnicode uni,
                               const rtl::String& IV)
    : TOrvCryptBase(nullptr) {
    SetKeyLength(keyLength);
    SetKey(key);
    FType = AType;
    FPaddingMode = paddingMode;
    FOutputFormat = outputFormat;
    try {
        SetIV(IV);
    } catch (...) {
        aesobj::Wipe(FKey.data(), FKey.size() * sizeof(char16_t));
        throw;
    }
    FIVMode = TIVMode::userdefined;
    FUni = uni;
}

TAESEncryption::~TAESEncryption() {
    aesobj::Wipe(FKey.data(), FKey.size() * sizeof(char16_t));
    FKey.assign(static_cast<size_t>(FKeyLengthNum / 8), u'\0');
}

void TAESEncryption::SetKeyLength(TAESKeyLength value) {
    FKeyLength = value;
    FKeyLengthNum = value == TAESKeyLength::kl256 ? 256 : value == TAESKeyLength::kl192 ? 192 : 128;
}

void TAESEncryption::SetKey(const rtl::String& value) {
    if (value.empty()) return;
    const int32_t required = FKeyLengthNum / 8;
    if (value.size() != static_cast<size_t>(required))
        throw rtl::Exception(u"Keylength incorrect, must be " + rtl::IntToStr(required));
    aesobj::Wipe(FKey.data(), FKey.size() * sizeof(char16_t));
    FKey = value;
}

void TAESEncryption::SetIV(const rtl::String& value) {
    if (value.empty()) return;
    if (value.size() != 16) throw rtl::Exception(u"IV length incorrect, must be 16");
    FIV = value;
}

void TAESEncryption::SetProgress(int32_t value) {
    if (value == FProgress) return;
    FProgress = value;
    Change();
}

void TAESEncryption::Change() {
    if (FOnChange) FOnChange(this);
}

rtl::String TAESEncryption::Encrypt(const rtl::String& s) {
    TConvert convert(FOutputFormat);
    const bool ecb = FType == TAESType::atECB;
    const bool ivInFront = !ecb && FIVMode == TIVMode::rand;
    const bool padding = FPaddingMode == TPaddingMode::PKCS7;

    int32_t n = 0;
    TBytes message = convert.StringToBuffer(s, FUni, n);
    ScopedWipe wipeMessage(message);
    const size_t blocks = static_cast<size_t>(n) / 16 + (padding ? 1 : 0) + (ivInFront ? 1 : 0);
    // One spare byte keeps the buffer real when there is nothing to encrypt.
    TBytes output(std::max<size_t>(16 * blocks, 1));
    ScopedWipe wipeOutput(output);

    const aesobj::AesKeyMaterial material(FKey, FKeyLengthNum, FIV,
                                          !ecb && FIVMode == TIVMode::userdefined);
    uint32_t outputLength = 0;
    CheckCore(core::aes::EncryptBuffer(
        aesobj::Implementation(), message.data(), static_cast<uint32_t>(n), output.data(),
        &outputLength, material.key, FKeyLengthNum, FIVMode == TIVMode::rand ? 1 : 0, material.iv,
        padding ? 1 : 0, static_cast<uint32_t>(FType)));
    return convert.CharToFormat(output.data(), static_cast<int32_t>(outputLength));
}

rtl::String TAESEncryption::Decrypt(const rtl::String& s) {
    TConvert convert(FOutputFormat);
    const bool ecb = FType == TAESType::atECB;
    const bool padding = FPaddingMode == TPaddingMode::PKCS7;

    const int32_t n = convert.CharLength(s);
    TBytes work(std::max<size_t>((static_cast<size_t>(n) + 15) / 16 * 16, 1));
    ScopedWipe wipeWork(work);
    const aesobj::AesKeyMaterial material(FKey, FKeyLengthNum, FIV,
                                          !ecb && FIVMode == TIVMode::userdefined);
    // Raw ciphertext was made by rule P; rule S is its exact inverse, whereas
    // FormatToChar's low-byte copy would corrupt bytes such as 0x80.
    TBytes ciphertext =
        FOutputFormat == TConvertType::raw ? convert.StringToPAnsiChar(s) : convert.FormatToChar(s);
    ScopedWipe wipeCiphertext(ciphertext);

    int64_t plainLength = 0;
    if (!padding) plainLength = !ecb && FIVMode == TIVMode::rand ? int64_t{n} - 16 : int64_t{n};
    uint32_t outputLength = 0;
    CheckCore(core::aes::DecryptBuffer(
        aesobj::Implementation(), ciphertext.data(), static_cast<uint32_t>(n), work.data(),
        &outputLength, material.key, FKeyLengthNum, FIVMode == TIVMode::rand ? 1 : 0, material.iv,
        padding ? 1 : 0, static_cast<uint32_t>(FType)));
    if (padding) plainLength = outputLength;
    plainLength = std::min<int64_t>(plainLength, static_cast<int64_t>(work.size()));

    rtl::String text;
    if (plainLength > 0) text = text_rules::RuleP(work.data(), static_cast<size_t>(plainLength));
    if (FUni == TUnicode::yesUni) text = convert.StringToUnicode(text);
    return text;
}
