#!/usr/bin/env bash
# Makes the small PE images the pe_* targets start from, with the mingw-w64 tools:
#   nores.exe       no resource directory
#   reloc.exe       .rsrc followed by .reloc, as mingw lays out a relocatable program
#   rsrclast.exe    .rsrc as the last section
#   certified.exe   rsrclast.exe with an overlay and a certificate table after it
#   rawpastvirtual.exe  reloc.exe whose .reloc holds more raw data than its virtual size
#                   rounded to the section alignment (the loader maps only the latter)
# Usage: bash fuzz/corpus/make_pe_seeds.sh   (writes into fuzz/corpus/pe_reader and pe_writer)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/tiny.c" <<'C'
static int value;
int *pointer = &value;
int start(void) { return *pointer; }
C
printf 'SALT RCDATA { "0123456789ABCDEF\\r\\n" }\nSTRINGTABLE { 1, "tiny" }\n' >"$work/tiny.rc"
x86_64-w64-mingw32-windres "$work/tiny.rc" -O coff -o "$work/tiny.res"
build() {
    x86_64-w64-mingw32-gcc -nostdlib -nostartfiles -e start -s -O2 "$work/tiny.c" "$@"
}
build -o "$work/nores.exe" -Wl,--disable-dynamicbase,--disable-reloc-section
build "$work/tiny.res" -o "$work/reloc.exe" -Wl,--dynamicbase
build "$work/tiny.res" -o "$work/rsrclast.exe" -Wl,--disable-dynamicbase,--disable-reloc-section

python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]

def headers(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional = pe + 24
    table = optional + struct.unpack_from("<H", image, pe + 20)[0]
    return optional, table, sections

# An overlay, then a certificate table that the security directory entry points at.
image = bytearray(open(f"{work}/rsrclast.exe", "rb").read())
optional, _, _ = headers(image)
image += b"OVERLAY!"
certificate = struct.pack("<IHH", 16, 0x0200, 2) + b"SIGNATURE"[:8]
struct.pack_into("<II", image, optional + 112 + 4 * 8, len(image), len(certificate))
image += certificate
open(f"{work}/certified.exe", "wb").write(image)

# The last section's raw data grows to 0x1200 bytes while its VirtualSize stays 0xC.
image = bytearray(open(f"{work}/reloc.exe", "rb").read())
_, table, sections = headers(image)
last = table + 40 * (sections - 1)
raw_size, raw_pointer = struct.unpack_from("<II", image, last + 16)
image = image[: raw_pointer + raw_size] + bytes(0x1200 - raw_size)
struct.pack_into("<I", image, last + 16, 0x1200)
open(f"{work}/rawpastvirtual.exe", "wb").write(image)
PY

for target in pe_reader pe_writer; do
    mkdir -p "$here/$target"
    cp "$work"/{nores,reloc,rsrclast,certified}.exe "$here/$target/"
done
mkdir -p "$here/../regressions/pe_writer"
cp "$work/rawpastvirtual.exe" "$here/../regressions/pe_writer/"
