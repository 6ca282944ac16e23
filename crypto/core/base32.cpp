#include <array>

#include "crypto/core/encoding.h"
#include "crypto/core/encoding_groups.h"
#include "crypto/core/errors.h"

namespace core {
namespace {

constexpr char kBase32[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

// Indexed by character code up to "Z".
constexpr std::array<uint8_t, 91> kBase32Values = [] {
    std::array<uint8_t, 91> table{};
    for (uint8_t value = 0; value < 32; ++value)
        table[static_cast<uint8_t>(kBase32[value])] = value;
    return table;
}();

// Characters that carry data in a final group of 0 to 4 bytes (5 bytes fill all 8).
constexpr int kCharsForBytes[] = {0, 2, 4, 5, 7, 8};

}  // namespace

int32_t CharToBase32(const uint8_t* data, uint32_t length, char* destination) {
    if (length == 0) return kOk;
    if (data == nullptr || destination == nullptr) return kNullPointer;
    for (uint64_t done = 0; done < length; done += 5, destination += 8) {
        const uint64_t bytes = length - done < 5 ? length - done : 5;
        uint64_t group = 0;
        for (uint64_t i = 0; i < 5; ++i) group = (group << 8) | (i < bytes ? data[done + i] : 0);
        const int chars = kCharsForBytes[bytes];
        for (int i = 0; i < 8; ++i) {
            destination[i] = i < chars ? kBase32[(group >> (35 - 5 * i)) & 31] : '=';
        }
    }
    return kOk;
}

int32_t Base32ToChar(const char* text, uint8_t* destination) {
    return encoding_detail::DecodeGroups(text, destination,
                                         {kBase32Values.data(), kBase32Values.size(), 8, 5});
}

}  // namespace core
