#!/usr/bin/env bash
# The same unlocker, file, name, password, salt and IV give the same package, byte for byte,
# whether the native build or the Windows build (under Wine) makes it. Salt and IV are fixed
# in both makers by a test-only random source.
# Environment: RELEASE_SOURCE_DIR, RELEASE_UNLOCKER (UnCofrex.exe), RELEASE_WINDOWS_MAKER (the
# Windows fixedpackage.exe), WINEPREFIX.
set -euo pipefail
src=${RELEASE_SOURCE_DIR:?}
work=$(mktemp -d "${TMPDIR:-/tmp}/cofrex-same-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The native maker comes from the native build of the same sources.
[ -f "$src/build/linux/CMakeCache.txt" ] || (cd "$src" && cmake --preset linux >/dev/null)
cmake --build "$src/build/linux" --target fixedpackage >/dev/null
native_maker=$src/build/linux/tests/release/fixedpackage

windows_path() {
    local path="Z:$1"
    printf '%s' "${path//\//\\}"
}

mkdir -p "$work/native" "$work/windows"
head -c 70001 /dev/urandom >"$work/report.pdf"
TMPDIR=$work/native "$native_maker" "$RELEASE_UNLOCKER" "$work/report.pdf" "pass phrase" \
    "$work/native.exe"
TMP=$(windows_path "$work/windows") TEMP=$(windows_path "$work/windows") WINEDEBUG=-all \
    WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 "$RELEASE_WINDOWS_MAKER" \
    "$(windows_path "$RELEASE_UNLOCKER")" "$(windows_path "$work/report.pdf")" "pass phrase" \
    "$(windows_path "$work/windows.exe")"

sha256sum "$work/native.exe" "$work/windows.exe"
cmp "$work/native.exe" "$work/windows.exe"
