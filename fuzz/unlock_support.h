#pragma once
// How the unlock target's input maps onto a package's four resources, shared by the
// target and the program that makes its seeds.
//
//   byte 0       flags (below)
//   bytes 1-3    lengths of SALT, HASH and FILENAME
//   then         SALT, HASH and FILENAME, as long as those lengths say (or shorter)
//   the rest     ENCRYPTEDFILE
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace fuzz {

// The password the unlock target types.
inline constexpr char16_t kUnlockPassword[] = u"fuzz pass word";

enum UnlockFlag : uint8_t {
    kRightHash = 1,       // HASH becomes the check value of the password and the fuzzed SALT
    kExistingFile = 2,    // a file of the stored name is there before the unlock
    kOpenAfterwards = 4,  // "Open the file after unlocking?" ticked
    kNoSalt = 16,         // bits 4 to 7: the resource is missing
    kNoHash = 32,
    kNoFileName = 64,
    kNoEncryptedFile = 128,
};

struct UnlockInput {
    uint8_t flags = 0;
    std::span<const uint8_t> salt, hash, fileName, encryptedFile;
};

inline UnlockInput SplitUnlockInput(std::span<const uint8_t> data) {
    UnlockInput input;
    if (data.size() < 4) return input;
    input.flags = data[0];
    std::span<const uint8_t> rest = data.subspan(4);
    auto take = [&rest](size_t length) {
        const auto part = rest.first(std::min(length, rest.size()));
        rest = rest.subspan(part.size());
        return part;
    };
    input.salt = take(data[1]);
    input.hash = take(data[2]);
    input.fileName = take(data[3]);
    input.encryptedFile = rest;
    return input;
}

inline std::vector<uint8_t> JoinUnlockInput(const UnlockInput& input) {
    std::vector<uint8_t> data = {input.flags, static_cast<uint8_t>(input.salt.size()),
                                 static_cast<uint8_t>(input.hash.size()),
                                 static_cast<uint8_t>(input.fileName.size())};
    for (const auto& part : {input.salt, input.hash, input.fileName, input.encryptedFile})
        data.insert(data.end(), part.begin(), part.end());
    return data;
}

}  // namespace fuzz
