#pragma once
// Unit AESObj: TAESEncryption, the AES component. It holds the key, the mode,
// the IV policy and the padding, encrypts texts into formatted ciphertext and
// back, and encrypts files and streams chunk by chunk with progress events.
//
// Encrypted data layout (texts before formatting, files and streams):
//   offset 0       16 bytes, the IV: present only when AType is not atECB and
//                  IVMode is rand (fresh random bytes for every encryption)
//   offset 16 or 0 the ciphertext of the plaintext in mode AType, after PKCS#7
//                  padding with PKCS7: 16 * (L / 16 + 1) bytes for L plaintext
//                  bytes; exactly L bytes with nopadding (L a multiple of 16)
// Nothing in the data names the settings: the reader needs the same key
// length, key, mode, IV policy, padding and, with userdefined, the same IV.
//
// Key and IV texts become bytes one byte per character (a character below 256
// gives its own value) when an operation starts. An operation needs at least
// keyLength / 8 key characters (the first ones are used) and, with
// userdefined outside atECB, a 16-character IV; otherwise it raises
// rtl::Exception with the message of the matching property write.
#include <cstdint>
#include <utility>

#include "crypto/CryptBase.h"
#include "crypto/MiscObj.h"
#include "rtl/Component.h"
#include "rtl/Stream.h"
#include "rtl/String.h"

namespace core::aes {
struct Impl;
}

enum class TAESKeyLength : uint8_t { kl128 = 0, kl192 = 1, kl256 = 2 };
// The ordinal is the core's mode number.
enum class TAESType : uint8_t { atECB = 0, atCBC = 1, atOFB = 2, atCTR = 3 };
// rand: a fresh IV for every encryption, stored in front of the ciphertext;
// userdefined: the IV property is the IV and is not stored.
enum class TIVMode : uint8_t { rand = 0, userdefined = 1 };
enum class TPaddingMode : uint8_t { PKCS7 = 0, nopadding = 1 };

class TAESEncryption : public TOrvCryptBase {
public:
    // Defaults: kl128, atCBC, PKCS7, hexa, rand, yesUni; no key, no IV.
    explicit TAESEncryption(rtl::TComponent* AOwner);
    TAESEncryption();
    // No owner; IVMode rand. A refused key write propagates its exception.
    TAESEncryption(TAESKeyLength keyLength, const rtl::String& key, TAESType AType,
                   TPaddingMode paddingMode, TConvertType outputFormat, TUnicode uni);
    // No owner; IVMode userdefined. A refused key or IV write propagates.
    TAESEncryption(TAESKeyLength keyLength, const rtl::String& key, TAESType AType,
                   TPaddingMode paddingMode, TConvertType outputFormat, TUnicode uni,
                   const rtl::String& IV);
    // Overwrites the key with keyLength / 8 characters U+0000.
    ~TAESEncryption() override;

    TAESKeyLength keyLength() const { return FKeyLength; }
    // 128, 192 or 256.
    int32_t keyLengthBits() const { return FKeyLengthNum; }
    void SetKeyLength(TAESKeyLength value);
    // An empty text keeps the key; any length other than keyLength / 8 raises
    // rtl::Exception "Keylength incorrect, must be 16|24|32" and keeps the key.
    const rtl::String& key() const { return FKey; }
    void SetKey(const rtl::String& value);
    TAESType AType() const { return FType; }
    void SetAType(TAESType value) { FType = value; }
    TConvertType outputFormat() const { return FOutputFormat; }
    void SetOutputFormat(TConvertType value) { FOutputFormat = value; }
    TIVMode IVMode() const { return FIVMode; }
    void SetIVMode(TIVMode value) { FIVMode = value; }
    // An empty text keeps the IV; any length other than 16 raises
    // rtl::Exception "IV length incorrect, must be 16" and keeps the IV.
    const rtl::String& IV() const { return FIV; }
    void SetIV(const rtl::String& value);
    TPaddingMode paddingMode() const { return FPaddingMode; }
    void SetPaddingMode(TPaddingMode value) { FPaddingMode = value; }
    TUnicode Unicode() const { return FUni; }
    void SetUnicode(TUnicode value) { FUni = value; }
    // Writing a different value stores it and calls Change; an equal value
    // does nothing.
    int32_t Progress() const { return FProgress; }
    void SetProgress(int32_t value);
    const rtl::TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(rtl::TNotifyEvent value) { FOnChange = std::move(value); }

    // The text's bytes (UTF-8 with yesUni, one per character with noUni)
    // encrypted and written in outputFormat. An empty text with nopadding and
    // no stored IV gives the empty text.
    rtl::String Encrypt(const rtl::String& s);
    // The reverse of Encrypt; bytes become characters through the system code
    // page and, with yesUni, are then decoded as UTF-8. A raw ciphertext text
    // becomes bytes one per character (rule S), the inverse of how Encrypt
    // wrote it.
    rtl::String Decrypt(const rtl::String& s);

    // File s into file o: o is deleted and created anew ("Unable to create the
    // file" when that fails), then the stream operation runs. A source that
    // cannot be opened leaves o untouched. On failure o is kept as written.
    void EncryptFileW(const rtl::String& s, const rtl::String& o);
    void DecryptFileW(const rtl::String& s, const rtl::String& o);

    // The whole of s (from position 0, whatever its position) into o from
    // position 0; o is not truncated. s and o are two different streams that
    // nobody else uses meanwhile. Work in chunks of kChunkSize bytes with
    // two chunk buffers, whatever the size (streams that lend their memory,
    // such as TMemoryStream, are read and written in place); counts are
    // 64-bit. Progress is 0
    // at the start, processed * 100 / size of s after every chunk (plaintext
    // bytes when encrypting, ciphertext bytes without the IV when decrypting)
    // and 100 at the end.
    //
    // EncryptStream refuses with nopadding a size that is not a multiple of 16
    // (EQuorin -211) before writing anything.
    // DecryptStream refuses before writing anything, with EQuorin:
    //   -212 when the IV is stored and fewer than 16 bytes exist;
    //   -207 when no complete ciphertext follows the IV (with PKCS7 at least
    //        one block; with nopadding an empty ciphertext is complete), or its
    //        length is not a multiple of 16 (outside atCTR with nopadding).
    // A source that delivers fewer bytes than its size says raises -207 (when
    // decrypting) or -211 (when encrypting without padding) once that shows.
    // With PKCS7 a last decrypted byte above 16 raises -208 after every block
    // but the final one has been written.
    void EncryptStream(rtl::TStream& s, rtl::TStream& o);
    void DecryptStream(rtl::TStream& s, rtl::TStream& o);

    static constexpr int64_t kChunkSize = 160000;

protected:
    // Calls OnChange with this component as sender, when set.
    virtual void Change();

private:
    int32_t FKeyLengthNum = 128;
    TAESKeyLength FKeyLength = TAESKeyLength::kl128;
    rtl::String FKey;
    TAESType FType = TAESType::atCBC;
    TIVMode FIVMode = TIVMode::rand;
    TUnicode FUni = TUnicode::yesUni;
    rtl::String FIV;
    TPaddingMode FPaddingMode = TPaddingMode::PKCS7;
    TConvertType FOutputFormat = TConvertType::hexa;
    int32_t FProgress = 0;
    rtl::TNotifyEvent FOnChange;
};

namespace aesobj {

// The block implementation every TAESEncryption operation runs on. Null (the
// default) means the core's choice: the AES instructions when the processor
// has them. Tests and benchmarks pass core::aes::Portable() to run the
// byte-table path on any machine.
void UseImplementation(const core::aes::Impl* impl);
const core::aes::Impl& Implementation();

}  // namespace aesobj
