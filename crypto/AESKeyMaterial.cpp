#include "crypto/AESKeyMaterial.h"

#include <algorithm>
#include <string>

#include "crypto/MiscObj.h"
#include "rtl/Exception.h"

namespace aesobj {

void Wipe(void* data, size_t size) {
    volatile uint8_t* p = static_cast<volatile uint8_t*>(data);
    while (size--) *p++ = 0;
}

namespace {

// Rule S bytes of the first `count` characters, or false when there are fewer.
bool TakeBytes(const rtl::String& text, size_t count, uint8_t* destination) {
    if (text.size() < count) return false;
    std::string bytes = text_rules::RuleS(text);
    std::copy_n(bytes.data(), count, destination);
    Wipe(bytes.data(), bytes.size());
    return true;
}

}  // namespace

AesKeyMaterial::AesKeyMaterial(const rtl::String& keyText, int32_t keyLengthBits,
                               const rtl::String& ivText, bool needIv) {
    const int32_t keyBytes = keyLengthBits / 8;
    if (!TakeBytes(keyText, static_cast<size_t>(keyBytes), key))
        throw rtl::Exception(u"Keylength incorrect, must be " + rtl::IntToStr(keyBytes));
    if (needIv && (ivText.size() != 16 || !TakeBytes(ivText, 16, iv))) {
        Wipe(key, sizeof key);
        throw rtl::Exception(u"IV length incorrect, must be 16");
    }
    nk = keyLengthBits / 32;
    const int32_t code = core::AesKeyExpansion(key, schedule, nk);
    if (code != core::kOk) {
        Wipe(key, sizeof key);
        Wipe(iv, sizeof iv);
        throw EQuorin(code);
    }
}

AesKeyMaterial::~AesKeyMaterial() {
    Wipe(key, sizeof key);
    Wipe(iv, sizeof iv);
    Wipe(schedule, sizeof schedule);
}

}  // namespace aesobj
