#pragma once
// TArgon2KeyDerivation: a key of outputSizeBytes bytes derived from a password
// text with Argon2d (version 0x13, one lane, no secret, no associated data),
// returned as text in one of the TConvertType formats.
//
// The salt is 16 bytes made from the first 16 characters of StringSalt through
// the system 8-bit code page (Windows-1252), zero padded; it stays until
// StringSalt is written again. A new component's salt is 16 zero bytes.
#include <array>
#include <cstdint>

#include "crypto/CryptBase.h"
#include "crypto/MiscObj.h"
#include "rtl/Component.h"
#include "rtl/String.h"

// Bytes 0 to 15 are the salt; byte 16 is always zero and never read.
using saltArg = std::array<uint8_t, 17>;

class TArgon2KeyDerivation : public TOrvCryptBase {
public:
    // outputSizeBytes 16, counter 10, memory 16 KiB, outputFormat hexa, Unicode yesUni.
    explicit TArgon2KeyDerivation(rtl::TComponent* AOwner);
    TArgon2KeyDerivation();
    // Writes outputSizeBytes, StringSalt, counter and memory in this order; a
    // refused value makes construction fail with that property's message.
    TArgon2KeyDerivation(int32_t outputSizeBytes, const rtl::String& salt, int32_t counter,
                         TConvertType outputFormat, int32_t memory, TUnicode uni);

    // Values below the minimum (4, 1 and 8) raise rtl::Exception and keep the
    // old value; there is no upper bound.
    int32_t outputSizeBytes() const { return FOutputSizeBytes; }
    void SetOutputSizeBytes(int32_t value);
    int32_t counter() const { return FCounter; }
    void SetCounter(int32_t value);
    // In KiB.
    int32_t memory() const { return FMemory; }
    void SetMemory(int32_t value);

    // Reads back whole; only the first 16 characters make the salt.
    const rtl::String& StringSalt() const { return FStringSalt; }
    void SetStringSalt(const rtl::String& value);

    TConvertType outputFormat() const { return FOutputFormat; }
    void SetOutputFormat(TConvertType value) { FOutputFormat = value; }
    TUnicode Unicode() const { return FUni; }
    void SetUnicode(TUnicode value) { FUni = value; }

    // The key of `s` (UTF-8 under yesUni, one byte per character under noUni)
    // in outputFormat. Memory that cannot be allocated raises EQuorin -1402.
    // The password bytes and the key buffer are wiped on every path.
    rtl::String GenerateKey(const rtl::String& s);

private:
    int32_t FOutputSizeBytes = 16;
    int32_t FMemory = 16;
    saltArg FSalt = {};
    rtl::String FStringSalt;
    int32_t FCounter = 10;
    TUnicode FUni = TUnicode::yesUni;
    TConvertType FOutputFormat = TConvertType::hexa;
};
