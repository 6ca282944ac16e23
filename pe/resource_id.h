#pragma once
// A key at one level of the resource tree (type, name or language): a 16-bit number or a
// UTF-16 name. Names are kept exactly as given; Windows' FindResource upper-cases the name it
// looks for and compares code units, so names meant to be found that way must be upper case.
//
// The ordering is the one the directory tables must have: every name before every number,
// names by UTF-16 code unit (a prefix before the longer name), numbers ascending.
#include <compare>
#include <cstdint>
#include <string>
#include <variant>

namespace pe {

class ResourceId {
public:
    ResourceId(uint16_t id) : value_(id) {}  // NOLINT: a number is a valid key as it stands
    ResourceId(std::u16string name) : value_(std::move(name)) {}        // NOLINT
    ResourceId(const char16_t* name) : value_(std::u16string(name)) {}  // NOLINT

    bool IsName() const { return std::holds_alternative<std::u16string>(value_); }
    uint16_t Id() const { return std::get<uint16_t>(value_); }
    const std::u16string& Name() const { return std::get<std::u16string>(value_); }

    std::strong_ordering operator<=>(const ResourceId& other) const;
    bool operator==(const ResourceId& other) const = default;

private:
    std::variant<std::u16string, uint16_t> value_;
};

inline constexpr uint16_t kLangNeutral = 0;
inline constexpr uint16_t kRtIcon = 3;
inline constexpr uint16_t kRtString = 6;
inline constexpr uint16_t kRtRcData = 10;
inline constexpr uint16_t kRtGroupIcon = 14;
inline constexpr uint16_t kRtVersion = 16;
inline constexpr uint16_t kRtManifest = 24;

}  // namespace pe
