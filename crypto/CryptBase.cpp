#include "crypto/CryptBase.h"

rtl::String TOrvCryptBase::GetVersion() const {
    const uint32_t n = VersionNumber();
    return rtl::IntToStr((n >> 24) & 0xFF) + u"." + rtl::IntToStr((n >> 16) & 0xFF) + u"." +
           rtl::IntToStr((n >> 8) & 0xFF) + u"." + rtl::IntToStr(n & 0xFF);
}

void TOrvCryptBase::SetVersion(const rtl::String&) {}
