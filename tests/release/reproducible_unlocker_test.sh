#!/usr/bin/env bash
# Two builds of the same sources give the same UnCofrex.exe, byte for byte: the sources are
# copied to two folders of different paths, each configured and built on its own (the
# UnCofrex target only), and the SHA-256 of both executables compared.
# Environment: RELEASE_SOURCE_DIR, the sources to copy.
set -euo pipefail
src=${RELEASE_SOURCE_DIR:?}
work=$(mktemp -d "${TMPDIR:-/tmp}/cofrex-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

build_copy() {
    local copy=$work/$1
    mkdir -p "$copy"
    tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
    cmake -S "$copy" -B "$copy/out" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCOFREX_TESTS=OFF >/dev/null
    cmake --build "$copy/out" --target UnCofrex -j "$(nproc)" >/dev/null
}

build_copy first/src
build_copy second-build/a/longer/cofrex-sources
first=$(sha256sum <"$work/first/src/out/unlocker/UnCofrex.exe" | cut -d' ' -f1)
second=$(sha256sum <"$work/second-build/a/longer/cofrex-sources/out/unlocker/UnCofrex.exe" | cut -d' ' -f1)
echo "first build:  $first"
echo "second build: $second"
if [ "$first" != "$second" ]; then
    cmp -l "$work/first/src/out/unlocker/UnCofrex.exe" \
        "$work/second-build/a/longer/cofrex-sources/out/unlocker/UnCofrex.exe" | head -n 20
    echo "UnCofrex.exe differs between the two builds"
    exit 1
fi
