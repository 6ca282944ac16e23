#include "crypto/Argon2KeyDerivation.h"

#include <algorithm>
#include <new>
#include <string>

#include "crypto/EQuorin.h"
#include "crypto/HashObj.h"
#include "crypto/core/argon2.h"
#include "rtl/CodePage.h"
#include "rtl/Exception.h"

using rtl::String;

TArgon2KeyDerivation::TArgon2KeyDerivation(rtl::TComponent* AOwner) : TOrvCryptBase(AOwner) {
    SetOutputSizeBytes(16);
    SetCounter(10);
    SetMemory(16);
}

TArgon2KeyDerivation::TArgon2KeyDerivation()
    : TArgon2KeyDerivation(static_cast<rtl::TComponent*>(nullptr)) {}

TArgon2KeyDerivation::TArgon2KeyDerivation(int32_t outputSizeBytes, const String& salt,
                                           int32_t counter, TConvertType outputFormat,
                                           int32_t memory, TUnicode uni)
    : TOrvCryptBase(nullptr) {
    SetOutputSizeBytes(outputSizeBytes);
    SetStringSalt(salt);
    SetCounter(counter);
    SetMemory(memory);
    FOutputFormat = outputFormat;
    FUni = uni;
}

void TArgon2KeyDerivation::SetOutputSizeBytes(int32_t value) {
    if (value < 4) throw rtl::Exception(u"The Argon2 output length must be minimum 4!");
    FOutputSizeBytes = value;
}

void TArgon2KeyDerivation::SetCounter(int32_t value) {
    if (value < 1) throw rtl::Exception(u"The Argon2 counter must be minimum 1!");
    FCounter = value;
}

void TArgon2KeyDerivation::SetMemory(int32_t value) {
    if (value < 8) throw rtl::Exception(u"The Argon2 memory must be minimum 8!");
    FMemory = value;
}

void TArgon2KeyDerivation::SetStringSalt(const String& value) {
    FStringSalt = value;
    const size_t n = std::min<size_t>(16, value.size());
    const std::string bytes = rtl::SystemEncode(value);
    FSalt.fill(0);
    for (size_t j = 0; j < n && j < bytes.size(); ++j) FSalt[j] = static_cast<uint8_t>(bytes[j]);
}

String TArgon2KeyDerivation::GenerateKey(const String& s) {
    TConvert convert(FOutputFormat);
    int32_t length = 0;
    SecretBytes password(convert.StringToBuffer(s, FUni, length));
    const auto keyBuffer = [this] {
        try {
            return TBytes(static_cast<size_t>(FOutputSizeBytes));
        } catch (const std::bad_alloc&) {
            throw EQuorin(core::kArgon2MallocFails);
        }
    };
    SecretBytes key(keyBuffer());
    CheckCore(core::Argon2dDerive(static_cast<uint32_t>(FCounter), static_cast<uint32_t>(FMemory),
                                  password.data(), static_cast<uint32_t>(length), FSalt.data(),
                                  key.data(), static_cast<uint32_t>(FOutputSizeBytes)));
    return convert.CharToFormat(key.data(), FOutputSizeBytes);
}
