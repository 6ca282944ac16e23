#pragma once
// Shared by the AES component tests: the block implementations to run, a
// scope that selects one, progress recording and exception checks.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crypto/AESObj.h"
#include "crypto/core/aes_impl.h"
#include "rtl/Exception.h"
#include "rtl/Stream.h"

namespace aes_component_test {

using Bytes = std::vector<uint8_t>;

// The portable path always; the hardware path when this processor has it.
inline std::vector<const core::aes::Impl*> Implementations() {
    std::vector<const core::aes::Impl*> list{&core::aes::Portable()};
    if (core::aes::Hardware() != nullptr) list.push_back(core::aes::Hardware());
    return list;
}

// A test-name-safe form of an implementation's name.
inline std::string ImplName(const core::aes::Impl* impl) {
    std::string name = impl->name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Every TAESEncryption operation inside the scope runs on `impl`.
class UseImpl {
public:
    explicit UseImpl(const core::aes::Impl* impl) { aesobj::UseImplementation(impl); }
    ~UseImpl() { aesobj::UseImplementation(nullptr); }
    UseImpl(const UseImpl&) = delete;
    UseImpl& operator=(const UseImpl&) = delete;
};

// Every Progress value announced through OnChange.
struct ProgressLog {
    explicit ProgressLog(TAESEncryption& aes) {
        aes.SetOnChange([this, &aes](rtl::TObject* sender) {
            EXPECT_EQ(sender, &aes);
            values.push_back(aes.Progress());
        });
    }
    std::vector<int32_t> values;
};

inline Bytes Pattern(size_t size, uint32_t seed) {
    Bytes bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
    return bytes;
}

// The message of the exception of type E that `action` raises ("" if none).
template <typename E>
rtl::String MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return u"";
}

inline int32_t CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EQuorin& e) {
        return e.Code();
    }
    ADD_FAILURE() << "no EQuorin";
    return 0;
}

}  // namespace aes_component_test
