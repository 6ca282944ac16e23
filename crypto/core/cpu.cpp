#include "crypto/core/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace core {
namespace {

struct Features {
    bool aesni = false;
    bool shani = false;
};

Features Detect() {
    Features f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    const bool ssse3 = c & (1u << 9);
    const bool sse41 = c & (1u << 19);
    const bool aes = c & (1u << 25);
    f.aesni = aes && ssse3 && sse41;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) f.shani = (b & (1u << 29)) && ssse3 && sse41;
#endif
    return f;
}

const Features& Cached() {
    static const Features features = Detect();
    return features;
}

}  // namespace

bool CpuHasAesNi() { return Cached().aesni; }
bool CpuHasShaNi() { return Cached().shani; }

}  // namespace core
