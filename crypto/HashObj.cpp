#include "crypto/HashObj.h"

SecretBytes::~SecretBytes() {
    // Through a volatile pointer, so the stores are not dropped as dead.
    volatile uint8_t* p = bytes_.data();
    for (size_t i = 0; i < bytes_.size(); ++i) p[i] = 0;
}
