#include "crypto/EQuorin.h"

#include <cstring>
#include <string_view>

#include "crypto/core/errors.h"
#include "rtl/CodePage.h"

namespace {

rtl::String MessageOf(int32_t code) {
    char buffer[core::kErrorMessageSize + 1] = {};
    core::ErrorCodeMessage(code, buffer);
    return rtl::SystemDecode(std::string_view(buffer, strnlen(buffer, sizeof buffer)));
}

}  // namespace

EQuorin::EQuorin(int32_t Code) : rtl::Exception(MessageOf(Code)), FCode(Code) {}
