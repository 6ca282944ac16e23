// Linked into test programs in place of the system generator (crypto/core/random.cpp):
// the program's own definition wins, so the library's is never pulled in. Every salt and
// IV of a lock is then the same on every run and every system. No product links this.
#include "crypto/core/errors.h"
#include "crypto/core/random.h"

namespace core {

int32_t RandomBytes(int32_t count, uint8_t* destination) {
    if (count == 0) return kOk;
    if (count < 0 || destination == nullptr) return kRandomFails;
    for (int32_t i = 0; i < count; ++i) destination[i] = static_cast<uint8_t>(0xA5 ^ (i * 37));
    return kOk;
}

}  // namespace core
