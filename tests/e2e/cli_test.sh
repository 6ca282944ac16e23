#!/usr/bin/env bash
# cofrex across systems, on the same packages: one locked by the native program is
# unlocked and inspected by the Windows cofrex.exe under Wine and by the real
# UnCofrex.exe (typed password, clicked button); one locked by cofrex.exe and one made
# by the package builder around UnCofrex.exe are unlocked and inspected natively.
# File names are not ASCII. The native cofrex is brought up to date in build/linux.
set -euo pipefail
source "$(dirname "$0")/gui.sh"

source_dir=$(realpath "$(dirname "$0")/../..")
(cd "$source_dir" && cmake --preset linux >/dev/null && cmake --build build/linux --target cofrex >/dev/null) \
    || gui_fail "could not build the native cofrex"
native="$source_dir/build/linux/cli/cofrex"
windows=$(realpath "$GUI_BUILD_DIR/cli/cofrex.exe")
unlocker=$(realpath "$GUI_BUILD_DIR/unlocker/UnCofrex.exe")
password="Secret pass 42"
name="Größe Überweisung.pdf"
package="Größe Überweisung_encrypted.exe"
# Wine turns the Linux command line into UTF-16 through the locale.
export LC_ALL=C.UTF-8

work="$GUI_ARTEFACTS/work"
rm -rf "$work" && mkdir -p "$work"
export XDG_DATA_HOME="$work/appdata"
gui_start_display
gui_prefix "$GUI_BUILD_DIR" 96

# cofrex DIR PROGRAM ARGS...: a cofrex (native, or an .exe under Wine) run in DIR with
# the password on standard input; its exit code is kept.
cofrex() {
    local dir=$1 program=$2
    shift 2
    local run=("$program")
    [[ $program == *.exe ]] && run=("$GUI_WINE" "$program")
    (cd "$dir" && echo "$password" | "${run[@]}" "$@")
}
same() { cmp -s "$1" "$2" && echo same || echo differ; }
# inspected DIR PROGRAM PACKAGE: name, size and structure lines of an inspect.
inspected() { cofrex "$1" "$2" inspect "$3" | sed -n '1p;2p;5p' | tr -d '\r'; }
expected_inspect="File name:      $name
Encrypted size: 300032 bytes
Structure:      sound"

for folder in native windows builder; do
    mkdir -p "$work/$folder/out"
done
head -c 300001 /dev/urandom >"$work/native/$name"
cp "$work/native/$name" "$work/windows/"
cp "$work/native/$name" "$work/builder/"

# Native lock; cofrex.exe unlocks and inspects it.
cofrex "$work/native" "$native" lock "$name" --password-stdin >/dev/null
cofrex "$work/native" "$windows" unlock "$package" -C out --password-stdin >/dev/null
gui_check "native package unlocked by cofrex.exe" "$(same "$work/native/$name" "$work/native/out/$name")" same
gui_check "native package inspected by cofrex.exe" "$(inspected "$work/native" "$windows" "$package")" \
    "$expected_inspect"
status=0
(cd "$work/native" && echo wrong | "$GUI_WINE" "$windows" unlock "$package" --password-stdin \
    >/dev/null 2>&1) || status=$?
gui_check "wrong password to cofrex.exe: exit code" "$status" 1

# The real unlocker on the native package: typed password, button, the file in its folder.
mkdir "$work/gui"
cp "$work/native/$package" "$work/gui/"
gui_run "$work/gui" "$work/gui/$package"
gui_wait_window "Unlock file" >/dev/null
gui_click_control "Unlock file" Edit1
gui_type "$password"
gui_wait_text "Unlock file" Edit1 "$password"
gui_click_control "Unlock file" SpeedButton1
gui_wait_exit
gui_check "native package unlocked by UnCofrex.exe" "$(same "$work/native/$name" "$work/gui/$name")" same

# cofrex.exe locks; the native cofrex unlocks and inspects.
cofrex "$work/windows" "$windows" lock "$name" --password-stdin >/dev/null
cofrex "$work/windows" "$native" unlock "$package" -C out --password-stdin >/dev/null
gui_check "cofrex.exe package unlocked natively" "$(same "$work/windows/$name" "$work/windows/out/$name")" same
gui_check "cofrex.exe package inspected natively" "$(inspected "$work/windows" "$native" "$package")" \
    "$expected_inspect"

# The package builder around UnCofrex.exe; the native cofrex unlocks and inspects.
winpath() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }
"$GUI_WINE" "$GUI_MAKEPACKAGE" "$(winpath "$unlocker")" "$(winpath "$work/builder/$name")" "$password" \
    "$(winpath "$work/builder/$package")" </dev/null
cofrex "$work/builder" "$native" unlock "$package" -C out --password-stdin >/dev/null
gui_check "builder package unlocked natively" "$(same "$work/builder/$name" "$work/builder/out/$name")" same
gui_check "builder package inspected natively" "$(inspected "$work/builder" "$native" "$package")" \
    "$expected_inspect"
