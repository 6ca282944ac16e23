#pragma once
// The one exception class of the cryptographic components (unit MiscObj).
#include <cstdint>

#include "rtl/Exception.h"

class EQuorin : public rtl::Exception {
public:
    // "error : " and the text of the core error code, or "unknown error!".
    explicit EQuorin(int32_t Code);
    // A message of the component's own; Code is then 0.
    explicit EQuorin(const rtl::String& message) : rtl::Exception(message) {}

    int32_t Code() const { return FCode; }

private:
    int32_t FCode = 0;
};

// Raises EQuorin for any non-zero core result.
inline void CheckCore(int32_t code) {
    if (code != 0) throw EQuorin(code);
}
