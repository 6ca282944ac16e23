#include "platform/CodePage.h"

namespace platform {

uint32_t AnsiCodePage() {
    return 1252;
}

bool EncodeCodePage(uint32_t, std::u16string_view, std::string&, bool*) {
    return false;
}
bool DecodeCodePage(uint32_t, std::string_view, std::u16string&) {
    return false;
}

}  // namespace platform
