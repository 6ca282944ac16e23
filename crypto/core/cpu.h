#pragma once
// What the processor offers, read once from CPUID. Fast paths are chosen from
// these; the portable code is always built and used where they are false.

namespace core {

bool CpuHasAesNi();  // AES instructions, with SSSE3 and SSE4.1
bool CpuHasShaNi();  // SHA extensions with SSSE3 and SSE4.1

}  // namespace core
