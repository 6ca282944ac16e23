#include <array>

#include "crypto/core/encoding.h"
#include "crypto/core/encoding_groups.h"
#include "crypto/core/errors.h"

namespace core {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBase64url[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// Indexed by character code up to "z".
constexpr std::array<uint8_t, 123> DecodingTable(const char (&alphabet)[65]) {
    std::array<uint8_t, 123> table{};
    for (uint8_t value = 0; value < 64; ++value)
        table[static_cast<uint8_t>(alphabet[value])] = value;
    return table;
}

constexpr auto kBase64Values = DecodingTable(kBase64);
constexpr auto kBase64urlValues = DecodingTable(kBase64url);

int32_t Encode(const uint8_t* data, uint32_t length, char* destination, const char* alphabet) {
    if (length == 0) return kOk;
    if (data == nullptr || destination == nullptr) return kNullPointer;
    const uint8_t* end = data + length;
    while (end - data >= 3) {
        const uint32_t group = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
        destination[0] = alphabet[group >> 18];
        destination[1] = alphabet[(group >> 12) & 63];
        destination[2] = alphabet[(group >> 6) & 63];
        destination[3] = alphabet[group & 63];
        data += 3;
        destination += 4;
    }
    if (data == end) return kOk;
    const bool two = end - data == 2;
    const uint32_t group = (uint32_t{data[0]} << 16) | (two ? uint32_t{data[1]} << 8 : 0);
    destination[0] = alphabet[group >> 18];
    destination[1] = alphabet[(group >> 12) & 63];
    destination[2] = two ? alphabet[(group >> 6) & 63] : '=';
    destination[3] = '=';
    return kOk;
}

}  // namespace

int32_t CharToBase64(const uint8_t* data, uint32_t length, char* destination) {
    return Encode(data, length, destination, kBase64);
}

int32_t CharToBase64url(const uint8_t* data, uint32_t length, char* destination) {
    return Encode(data, length, destination, kBase64url);
}

int32_t Base64ToChar(const char* text, uint8_t* destination) {
    return encoding_detail::DecodeGroups(text, destination,
                                         {kBase64Values.data(), kBase64Values.size(), 4, 6});
}

int32_t Base64urlToChar(const char* text, uint8_t* destination) {
    return encoding_detail::DecodeGroups(text, destination,
                                         {kBase64urlValues.data(), kBase64urlValues.size(), 4, 6});
}

}  // namespace core
