#include "crypto/core/aes.h"
#include "crypto/core/aes_impl.h"
#include "crypto/core/errors.h"

namespace core {
namespace aes {
namespace {

int32_t Check(uint32_t mode, const uint8_t* input, const uint8_t* output, const uint32_t* schedule,
              int32_t nk, const uint8_t* state) {
    if (mode > kAesCtr) return kAesBadMode;
    if (input == nullptr || output == nullptr || schedule == nullptr) return kAesNullPointer;
    if (mode != kAesEcb && state == nullptr) return kAesNullPointer;
    if (nk != 4 && nk != 6 && nk != 8) return kAesKeySize;
    return kOk;
}

const uint8_t* RoundKeys(const uint32_t* schedule) {
    return reinterpret_cast<const uint8_t*>(schedule);
}

}  // namespace

const Impl& Active() {
    static const Impl& chosen = Hardware() != nullptr ? *Hardware() : Portable();
    return chosen;
}

int32_t EncryptBlocks(const Impl& impl, uint32_t mode, const uint8_t* input, uint8_t* output,
                      size_t blockCount, const uint32_t* schedule, int32_t nk, uint8_t* state) {
    const int32_t code = Check(mode, input, output, schedule, nk, state);
    if (code != kOk) return code;
    impl.encrypt(mode, input, output, blockCount, RoundKeys(schedule), nk + 6, state);
    return kOk;
}

int32_t DecryptBlocks(const Impl& impl, uint32_t mode, const uint8_t* input, uint8_t* output,
                      size_t blockCount, const uint32_t* schedule, int32_t nk, uint8_t* state) {
    const int32_t code = Check(mode, input, output, schedule, nk, state);
    if (code != kOk) return code;
    impl.decrypt(mode, input, output, blockCount, RoundKeys(schedule), nk + 6, state);
    return kOk;
}

}  // namespace aes

int32_t AesEncryptBlock(const uint8_t* input, uint8_t* output, const uint32_t* schedule,
                        int32_t nk) {
    return aes::EncryptBlocks(aes::Active(), kAesEcb, input, output, 1, schedule, nk, nullptr);
}

int32_t AesDecryptBlock(const uint8_t* input, uint8_t* output, const uint32_t* schedule,
                        int32_t nk) {
    return aes::DecryptBlocks(aes::Active(), kAesEcb, input, output, 1, schedule, nk, nullptr);
}

int32_t AesEncryptStep(uint32_t mode, const uint8_t* input, uint8_t* output,
                       const uint32_t* schedule, int32_t nk, uint8_t* state) {
    return aes::EncryptBlocks(aes::Active(), mode, input, output, 1, schedule, nk, state);
}

int32_t AesDecryptStep(uint32_t mode, const uint8_t* input, uint8_t* output,
                       const uint32_t* schedule, int32_t nk, uint8_t* state) {
    return aes::DecryptBlocks(aes::Active(), mode, input, output, 1, schedule, nk, state);
}

int32_t AesEncryptBlocks(uint32_t mode, const uint8_t* input, uint8_t* output, uint32_t blockCount,
                         const uint32_t* schedule, int32_t nk, uint8_t* state) {
    return aes::EncryptBlocks(aes::Active(), mode, input, output, blockCount, schedule, nk, state);
}

int32_t AesDecryptBlocks(uint32_t mode, const uint8_t* input, uint8_t* output, uint32_t blockCount,
                         const uint32_t* schedule, int32_t nk, uint8_t* state) {
    return aes::DecryptBlocks(aes::Active(), mode, input, output, blockCount, schedule, nk, state);
}

bool AesUsesHardware() {
    return &aes::Active() != &aes::Portable();
}

}  // namespace core
