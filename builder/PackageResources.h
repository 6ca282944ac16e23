#pragma once
// The four RT_RCDATA resources that make an unlocker copy a package, in the order the
// lock writes them, one update cycle each. The order is part of the package's bytes.
#include <array>

namespace builder {

// The unlocker that a locking program carries among its own resources.
inline constexpr char16_t kUnlockerResource[] = u"UNCOFREX";

inline constexpr char16_t kEncryptedFileResource[] = u"ENCRYPTEDFILE";
inline constexpr char16_t kSaltResource[] = u"SALT";
inline constexpr char16_t kFileNameResource[] = u"FILENAME";
inline constexpr char16_t kHashResource[] = u"HASH";

inline constexpr std::array<const char16_t*, 4> kPackageResources = {
    kEncryptedFileResource, kSaltResource, kFileNameResource, kHashResource};

}  // namespace builder
