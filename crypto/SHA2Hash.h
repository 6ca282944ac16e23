#pragma once
// TSHA2Hash: SHA-256, SHA-384 and SHA-512 digests and HMACs of texts, files and
// streams, returned as text in one of the TConvertType formats.
//
// Texts become bytes by the component's Unicode setting (yesUni: UTF-8, noUni:
// one byte per character); HMAC keys are always one byte per character. Each
// call makes its own conversion component and buffers, so settings may change
// between calls.
#include <cstdint>

#include "crypto/CryptBase.h"
#include "crypto/MiscObj.h"
#include "rtl/Component.h"
#include "rtl/Stream.h"
#include "rtl/String.h"

class TSHA2Hash : public TOrvCryptBase {
public:
    // hashSizeBits 256, outputFormat hexa, Unicode yesUni, no OnChange.
    explicit TSHA2Hash(rtl::TComponent* AOwner);
    TSHA2Hash();
    // An invalid hashSizeBits makes construction fail with the size message.
    TSHA2Hash(int32_t hashSizeBits, TConvertType outputFormat, TUnicode uni);

    // 256, 384 or 512; anything else raises rtl::Exception and keeps the size.
    int32_t hashSizeBits() const { return FHashSizeBits; }
    void SetHashSizeBits(int32_t value);
    TConvertType outputFormat() const { return FOutputFormat; }
    void SetOutputFormat(TConvertType value) { FOutputFormat = value; }
    TUnicode Unicode() const { return FUni; }
    void SetUnicode(TUnicode value) { FUni = value; }
    // Percent of HashStream done. Writing a new value raises OnChange.
    int32_t Progress() const { return FProgress; }
    void SetProgress(int32_t value);
    const rtl::TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(rtl::TNotifyEvent value) { FOnChange = std::move(value); }

    rtl::String Hash(const rtl::String& s);
    // Opens the file for reading with no sharing: a file that another handle
    // holds exclusively raises rtl::EFOpenError.
    rtl::String HashFile(const rtl::String& s);
    // The whole stream from its first byte, whatever its position. Progress is
    // set to 0, then to (bytes consumed x 100) div size after every block, then
    // to 100. A stream that ends before its size raises rtl::EReadError and
    // Progress keeps its last value.
    rtl::String HashStream(rtl::TStream& s);
    rtl::String HMAC(const rtl::String& s, const rtl::String& k);
    // 0 when `h` is the HMAC of `s` under `k` in outputFormat, -106 when it is
    // not, including when `h` decodes to fewer bytes than a digest. A raw `h`
    // is turned back into bytes through the 8-bit code page, as raw results are made.
    int32_t VerifyHMAC(const rtl::String& s, const rtl::String& k, const rtl::String& h);

protected:
    void Change();

private:
    int32_t FHashSizeBits = 256;
    TConvertType FOutputFormat = TConvertType::hexa;
    TUnicode FUni = TUnicode::yesUni;
    int32_t FProgress = 0;
    rtl::TNotifyEvent FOnChange;
};
