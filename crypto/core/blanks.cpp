#include "crypto/core/encoding.h"
#include "crypto/core/errors.h"

namespace core {

int32_t RemoveBlanks(const char* text, char* destination) {
    if (text == nullptr || destination == nullptr) return kNullPointer;
    for (; *text != 0; ++text) {
        if (static_cast<int8_t>(*text) >= 0x22) *destination++ = *text;
    }
    *destination = 0;
    return kOk;
}

}  // namespace core
