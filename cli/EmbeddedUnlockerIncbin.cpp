// Elsewhere the unlocker is linked into the program's read-only data with the
// assembler's .incbin; COFREX_UNCOFREX_EXE names the cross-built file.
#include "cli/EmbeddedUnlocker.h"

extern "C" const uint8_t cofrex_uncofrex_begin[];
extern "C" const uint8_t cofrex_uncofrex_end[];

asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".globl cofrex_uncofrex_begin\n"
    ".hidden cofrex_uncofrex_begin\n"
    "cofrex_uncofrex_begin:\n"
    ".incbin \"" COFREX_UNCOFREX_EXE
    "\"\n"
    ".globl cofrex_uncofrex_end\n"
    ".hidden cofrex_uncofrex_end\n"
    "cofrex_uncofrex_end:\n"
    ".popsection\n");

std::span<const uint8_t> EmbeddedUnlocker() {
    return {cofrex_uncofrex_begin, cofrex_uncofrex_end};
}
