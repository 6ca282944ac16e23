#include "crypto/core/encoding.h"
#include "crypto/core/errors.h"

namespace core {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

int32_t CharToHexa(const uint8_t* data, uint32_t length, char* destination) {
    if (length == 0) return kOk;
    if (data == nullptr || destination == nullptr) return kNullPointer;
    for (uint64_t i = 0; i < length; ++i) {
        destination[2 * i] = kDigits[data[i] >> 4];
        destination[2 * i + 1] = kDigits[data[i] & 15];
    }
    return kOk;
}

int32_t HexaToChar(const char* text, uint8_t* destination) {
    if (text == nullptr || destination == nullptr) return kNullPointer;
    bool highPending = false;
    for (; *text != 0; ++text) {
        const int digit = DigitValue(*text);
        if (digit < 0) continue;
        if (highPending) {
            *destination++ |= static_cast<uint8_t>(digit);
        } else {
            *destination = static_cast<uint8_t>(digit << 4);
        }
        highPending = !highPending;
    }
    return kOk;
}

}  // namespace core
