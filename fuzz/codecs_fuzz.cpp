// The core's text decoders on any zero-terminated text, each writing into a buffer
// of exactly the size the conversion component computes for that text: a write past
// it is a heap overflow that AddressSanitizer stops.
#include <cstdint>
#include <memory>
#include <string>

#include "crypto/MiscObj.h"
#include "crypto/core/encoding.h"
#include "fuzz/fuzz_support.h"

namespace {

using Decoder = int32_t (*)(const char*, uint8_t*);

struct Format {
    TConvertType type;
    Decoder decode;
};

constexpr Format kFormats[] = {
    {TConvertType::hexa, core::HexaToChar},
    {TConvertType::base64, core::Base64ToChar},
    {TConvertType::base64url, core::Base64urlToChar},
    {TConvertType::base32, core::Base32ToChar},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* terminated = text.c_str();  // the decoders stop at the first zero
    const std::string_view seen(terminated);
    for (const Format& format : kFormats) {
        TConvert convert(format.type);
        const int32_t room = convert.CharLength(
            fuzz::ByteText({reinterpret_cast<const uint8_t*>(seen.data()), seen.size()}));
        const auto buffer = std::make_unique<uint8_t[]>(room > 0 ? size_t(room) : 0);
        (void)format.decode(terminated, buffer.get());
    }
    return 0;
}
