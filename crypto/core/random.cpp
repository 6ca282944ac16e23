#include "crypto/core/random.h"

#include "crypto/core/errors.h"

#if defined(_WIN32)
#include <windows.h>
// windows.h first: wincrypt.h relies on its types.
#include <wincrypt.h>
#else
#include <sys/random.h>

#include <cerrno>
#endif

namespace core {

#if defined(_WIN32)

// The legacy CryptoAPI provider is what every supported Windows version has; a
// verify-only context needs no key container and CRYPT_SILENT forbids any UI.
int32_t RandomBytes(int32_t count, uint8_t* destination) {
    if (count == 0) return kOk;
    if (count < 0 || destination == nullptr) return kRandomFails;
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL,
                              CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
        return kRandomFails;
    }
    const bool generated = CryptGenRandom(provider, static_cast<DWORD>(count), destination);
    const bool released = CryptReleaseContext(provider, 0);
    return generated && released ? kOk : kRandomFails;
}

#else

// getrandom(2) reads the kernel CSPRNG without a file descriptor and blocks only
// until the pool is first seeded. Requests above 256 bytes may come back short,
// and any call may be interrupted by a signal before it copies anything.
int32_t RandomBytes(int32_t count, uint8_t* destination) {
    if (count == 0) return kOk;
    if (count < 0 || destination == nullptr) return kRandomFails;
    size_t remaining = static_cast<size_t>(count);
    while (remaining > 0) {
        const ssize_t got = getrandom(destination, remaining, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return kRandomFails;
        }
        destination += got;
        remaining -= static_cast<size_t>(got);
    }
    return kOk;
}

#endif

}  // namespace core
