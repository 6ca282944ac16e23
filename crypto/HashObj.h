#pragma once
// Unit HashObj: the SHA-2 hash component and the Argon2 key-derivation component.
#include <cstddef>
#include <cstdint>

#include "crypto/Argon2KeyDerivation.h"
#include "crypto/MiscObj.h"
#include "crypto/SHA2Hash.h"

// A buffer that holds a secret (password bytes, a key, a message to
// authenticate): overwritten with zeros when it goes out of scope, on every path.
class SecretBytes {
public:
    explicit SecretBytes(TBytes bytes) : bytes_(std::move(bytes)) {}
    explicit SecretBytes(size_t size) : bytes_(size) {}
    ~SecretBytes();
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    uint8_t* data() { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }

private:
    TBytes bytes_;
};
