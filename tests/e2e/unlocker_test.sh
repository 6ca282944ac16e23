#!/usr/bin/env bash
# The real UnCofrex.exe at 96 and 144 DPI: a package made by the builder unlocks its file
# byte for byte into the folder it was started from and ends; a wrong password shows the
# plain "Bad password" box and ends; the bare unlocker shows the resource error and stays.
# Screenshots of the window and of both boxes are kept with the test's artefacts.
set -euo pipefail
source "$(dirname "$0")/gui.sh"

unlocker="$GUI_BUILD_DIR/unlocker/UnCofrex.exe"
gui_start_display

# The Windows name of a Linux path: Wine maps the root to drive Z:.
winpath() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

# make_package DIR NAME PASSWORD: DIR/NAME_encrypted.exe holding DIR/source/NAME.
make_package() {
    local dir=$1 name=$2 password=$3
    mkdir -p "$dir/source"
    head -c 300001 /dev/urandom >"$dir/source/$name"
    "$GUI_WINE" "$GUI_MAKEPACKAGE" "$(winpath "$unlocker")" "$(winpath "$dir/source/$name")" \
        "$password" "$(winpath "$dir/${name%%.*}_encrypted.exe")" </dev/null
}

# type_password TEXT: into Edit1 of the open window, waiting until it has arrived.
type_password() {
    gui_click_control "Unlock file" Edit1
    gui_type "$1"
    gui_wait_text "Unlock file" Edit1 "$1"
}

right_password() {
    local dpi=$1 work="$GUI_ARTEFACTS/right-$1"
    rm -rf "$work" && mkdir -p "$work"
    make_package "$work" "report.pdf" "Secret pass"
    gui_run "$work" "$work/report_encrypted.exe"
    gui_wait_window "Unlock file" >/dev/null
    type_password "Secret pass"
    gui_shot "window-$dpi" "Unlock file"
    gui_click_control "Unlock file" SpeedButton1
    gui_wait_exit
    gui_check "unlocked file at $dpi DPI" "$(cmp "$work/source/report.pdf" "$work/report.pdf" && echo same)" same
    gui_check "files left at $dpi DPI" "$(ls "$work")" "report.pdf
report_encrypted.exe
source"
}

wrong_password() {
    local dpi=$1 work="$GUI_ARTEFACTS/wrong-$1"
    rm -rf "$work" && mkdir -p "$work"
    make_package "$work" "notes.txt" "Secret pass"
    gui_run "$work" "$work/notes_encrypted.exe"
    gui_wait_window "Unlock file" >/dev/null
    type_password "secret pass"
    gui_click_control "Unlock file" SpeedButton1
    local box
    box=$(gui_wait_window Notes_encrypted)
    gui_check "bad password box at $dpi DPI" "$(gui_probe msgbox Notes_encrypted)" "caption: Notes_encrypted
icon: no
text: Bad password
button: OK"
    gui_shot "bad-password-$dpi" Notes_encrypted
    gui_click_control Notes_encrypted "#1"
    gui_wait_exit
    gui_check "files left after a wrong password at $dpi DPI" "$(ls "$work")" "notes_encrypted.exe
source"
}

bare_unlocker() {
    local dpi=$1 work="$GUI_ARTEFACTS/bare-$1"
    rm -rf "$work" && mkdir -p "$work"
    gui_run "$work" "$unlocker"
    gui_wait_window "Unlock file" >/dev/null
    gui_click_control "Unlock file" SpeedButton1
    local box
    box=$(gui_wait_window Uncofrex)
    gui_check "resource error at $dpi DPI" "$(gui_probe msgbox Uncofrex)" "caption: Uncofrex
icon: yes
text: Ressource SALT non trouvée.
button: OK"
    gui_shot "resource-error-$dpi" Uncofrex
    gui_click_control Uncofrex "#1"
    gui_wait_closed "$box"
    # The window stays open and usable.
    gui_wait_window "Unlock file" >/dev/null
    type_password "again"
    gui_shot "after-error-$dpi" "Unlock file"
    kill "$GUI_PID"
}

for dpi in 96 144; do
    gui_prefix "$GUI_BUILD_DIR" "$dpi"
    right_password "$dpi"
    wrong_password "$dpi"
    bare_unlocker "$dpi"
done
