#pragma once
// The base of every cryptographic component and of the package builder.
#include <cstdint>

#include "rtl/Component.h"
#include "rtl/String.h"

class TOrvCryptBase : public rtl::TComponent {
public:
    explicit TOrvCryptBase(rtl::TComponent* AOwner = nullptr) : rtl::TComponent(AOwner) {}

    // Packed version, most significant byte first: 3.3.0.0.
    virtual uint32_t VersionNumber() const { return 0x03030000; }

    // Published `Version`: always "3.3.0.0"; writes, form loads included, change nothing.
    rtl::String Version() const { return GetVersion(); }
    void SetVersion(const rtl::String& Value);

protected:
    rtl::String GetVersion() const;
};
