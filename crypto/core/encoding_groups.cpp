#include "crypto/core/encoding_groups.h"

#include <cstring>

#include "crypto/core/errors.h"

namespace core::encoding_detail {
namespace {

constexpr int kTail = 5;

bool IsKept(char c) {
    return static_cast<int8_t>(c) >= 0x22;
}

// Length of a character sequence and its last kTail characters, last first.
struct Tail {
    size_t length = 0;
    char back[kTail] = {};
};

bool IsPad(const Tail& t, int fromEnd) {
    return static_cast<size_t>(fromEnd) <= t.length && t.back[fromEnd - 1] == '=';
}

// Bytes that the padding removes from the last group. The conversion component
// sizes its buffer by this very rule, so the Base32 steps are taken literally: the
// fourth and fifth characters from the end count even when the text does not end
// in "=" (a text such as "AAAA=AAA" decodes to 2 bytes, not 5).
int64_t PaddingCut(const Tail& t, int groupChars) {
    if (groupChars == 4) return IsPad(t, 1) ? (IsPad(t, 2) ? 2 : 1) : 0;
    if (IsPad(t, 1) && !IsPad(t, 2)) return 1;
    if (IsPad(t, 1) && IsPad(t, 2) && !IsPad(t, 4)) return 2;
    if (IsPad(t, 4) && !IsPad(t, 5)) return 3;
    if (IsPad(t, 5)) return 4;
    return 0;
}

int64_t CharLength(const Tail& t, const Alphabet& a) {
    const int64_t groupBytes = a.groupChars * a.bitsPerChar / 8;
    return static_cast<int64_t>((t.length + 1) / a.groupChars) * groupBytes -
           PaddingCut(t, a.groupChars);
}

Tail RawTail(const char* text) {
    Tail t;
    t.length = std::strlen(text);
    for (int i = 0; i < kTail && static_cast<size_t>(i) < t.length; ++i)
        t.back[i] = text[t.length - 1 - i];
    return t;
}

Tail KeptTail(const char* text) {
    Tail t;
    for (const char* c = text; *c != 0; ++c) {
        if (!IsKept(*c)) continue;
        std::memmove(t.back + 1, t.back, kTail - 1);
        t.back[0] = *c;
        ++t.length;
    }
    return t;
}

}  // namespace

int32_t DecodeGroups(const char* text, uint8_t* destination, const Alphabet& alphabet) {
    if (text == nullptr || destination == nullptr) return kNullPointer;
    const Tail kept = KeptTail(text);
    if (kept.length == 0) return kOk;
    if (kept.length % alphabet.groupChars != 0) return kMallocFails;
    const int64_t decoded = CharLength(kept, alphabet);
    if (decoded > CharLength(RawTail(text), alphabet)) return kMallocFails;

    const int groupBytes = alphabet.groupChars * alphabet.bitsPerChar / 8;
    uint64_t group = 0;
    int chars = 0;
    int64_t written = 0;
    for (const char* c = text; *c != 0; ++c) {
        if (!IsKept(*c)) continue;
        const auto code = static_cast<uint8_t>(*c);
        group =
            (group << alphabet.bitsPerChar) | (code < alphabet.size ? alphabet.values[code] : 0);
        if (++chars < alphabet.groupChars) continue;
        for (int i = 0; i < groupBytes && written < decoded; ++i) {
            destination[written++] = static_cast<uint8_t>(group >> (8 * (groupBytes - 1 - i)));
        }
        group = 0;
        chars = 0;
    }
    return kOk;
}

}  // namespace core::encoding_detail
