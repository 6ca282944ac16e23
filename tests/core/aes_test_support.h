#pragma once
// Shared by the AES tests: the implementations to run, and hex helpers.
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/core/aes_impl.h"

namespace aes_test {

using Bytes = std::vector<uint8_t>;

// The portable path always; the hardware path when this processor has it.
inline std::vector<const core::aes::Impl*> Implementations() {
    std::vector<const core::aes::Impl*> list{&core::aes::Portable()};
    if (core::aes::Hardware() != nullptr) list.push_back(core::aes::Hardware());
    return list;
}

inline Bytes FromHex(const std::string& hex) {
    Bytes out;
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
    }
    return out;
}

inline std::string ToHex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace aes_test
