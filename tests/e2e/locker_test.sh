#!/usr/bin/env bash
# The real Cofrex.exe at 96 and 144 DPI, driven like a user: the checks before a lock show
# their messages in order; a file is chosen in the open dialog, the passwords typed (the
# indicator turns from red to green), the padlock pressed and the output name typed in the
# save dialog; the package appears and the result line reports it; a second lock to the
# same name fails with the builder's message. The Help, About and Copyright windows open from
# the menu, Help only once however often it is chosen; closing the lock window ends the
# program. Then the package itself is started and unlocks the file byte for byte.
# Screenshots of every window, dialog and message box are kept with the test's artefacts.
set -euo pipefail
source "$(dirname "$0")/gui.sh"

locker="$GUI_BUILD_DIR/locker/Cofrex.exe"
password="Secret pass"
gui_start_display

# The Windows name of a Linux path: Wine maps the root to drive Z:.
winpath() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

# expect_error TEXT SHOT: the lock window's error display shows TEXT; closed with OK.
expect_error() {
    local box
    box=$(gui_wait_window Cofrex)
    gui_check "error display" "$(gui_probe msgbox Cofrex)" "caption: Cofrex
icon: yes
text: $1
button: OK"
    gui_shot "$2" Cofrex
    gui_click_control Cofrex "#1"
    gui_wait_closed "$box"
}

# indicator: "green" or "red", whichever the picture beside Edit2 shows on screen.
indicator() {
    local edit panel shot="$GUI_ARTEFACTS/indicator.png"
    edit=$(gui_rect "Lock a file" Edit2)
    panel=$(gui_rect "Lock a file" Panel2)
    import -window root "$shot"
    /usr/bin/python3 - "$shot" $edit $panel <<'PY'
import sys
from PIL import Image
shot, edit, panel = sys.argv[1], list(map(int, sys.argv[2:6])), list(map(int, sys.argv[6:10]))
pixels = Image.open(shot).convert("RGB").crop((edit[2], panel[1], panel[2], panel[3])).getdata()
green = sum(1 for r, g, b in pixels if g > r + 60 and g > b + 30)
red = sum(1 for r, g, b in pixels if r > g + 80 and r > b + 80)
print("green" if green > 20 and green > 4 * red else "red" if red > 20 and red > 4 * green else "none")
PY
}

# type_into CONTROL TEXT: clicks the control of the lock window and types TEXT after what it
# holds; ALL is what it must then hold.
type_into() {
    gui_click_control "Lock a file" "$1"
    gui_type "$2"
    gui_wait_text "Lock a file" "$1" "$3"
}

# choose_output SHOT NAME: answers the save dialog with NAME (a Windows path).
choose_output() {
    local dialog
    dialog=$(gui_wait_window "Save As")
    gui_shot "$1" "Save As"
    gui_key ctrl+a
    gui_type "$2"
    gui_key Return
    gui_wait_closed "$dialog"
}

# activate_main: makes the lock window the active one with a click inside its target group.
activate_main() {
    local left top right bottom
    read -r left top right bottom < <(gui_rect "Lock a file" GroupBox1)
    gui_click $((left + 4)) $((top + 4))
}

# menu N: chooses the Nth item (0 Help, 1 About, 2 Copyright) of the lock window's menu with
# the keyboard.
menu() {
    activate_main
    gui_key F10
    [ "$1" -eq 0 ] || gui_key $(printf 'Right %.0s' $(seq "$1"))
    gui_key Return
}

# drag_aside CAPTION DPI: drags a window by its caption half a screen to the right, off the
# lock window it was centred over; prints its new left edge.
drag_aside() {
    local handle left top right bottom x y
    read -r handle left top right bottom < <(gui_probe find "$1")
    x=$((left + 40)) y=$((top + 12 * $2 / 96))
    xdotool mousemove --sync "$x" "$y" mousedown 1 mousemove --sync $((x + 320)) "$y" \
        mousemove --sync $((x + 640)) "$y" mouseup 1
    local deadline=$((SECONDS + GUI_TIMEOUT))
    until read -r handle left top right bottom < <(gui_probe find "$1") && [ "$left" -gt $((x + 500)) ]; do
        [ "$SECONDS" -lt "$deadline" ] || gui_fail "could not drag \"$1\" aside"
    done
    echo "$left"
}

# close_active CAPTION: closes the active window with Alt+F4 and waits until it is hidden
# (the information windows are hidden, not destroyed).
close_active() {
    gui_key alt+F4
    timeout "$GUI_TIMEOUT" bash -c 'while xdotool search --onlyvisible --name "^$1\$" >/dev/null; do sleep 0.1; done' \
        _ "$1" || gui_fail "\"$1\" still shown after Alt+F4"
}

lock_and_unlock() {
    local dpi=$1 work="$GUI_ARTEFACTS/lock-$1"
    rm -rf "$work" && mkdir -p "$work/source" "$work/out" "$work/unlocked"
    head -c 300001 /dev/urandom >"$work/source/in.bin"
    local target package
    target=$(winpath "$work/source/in.bin")
    package=$(winpath "$work/out/package")

    gui_run "$work" "$locker"
    gui_wait_window "Lock a file" >/dev/null
    gui_shot "lock-window-$dpi" "Lock a file"
    gui_check "indicator at start-up" "$(indicator)" red

    # The checks, in their order.
    gui_click_control "Lock a file" SpeedButton2
    expect_error "Enter a file to lock." "error-no-target-$dpi"

    gui_click_control "Lock a file" SpeedButton1
    local dialog
    dialog=$(gui_wait_window Open)
    gui_shot "open-dialog-$dpi" Open
    gui_type "$target"
    gui_key Return
    gui_wait_closed "$dialog"
    gui_wait_text "Lock a file" Edit1 "$target"

    gui_click_control "Lock a file" SpeedButton2
    expect_error "Enter a password." "error-no-password-$dpi"

    type_into Edit3 "$password" "$password"
    type_into Edit2 "${password%?}" "${password%?}"
    gui_check "indicator, confirmation one letter short" "$(indicator)" red
    gui_click_control "Lock a file" SpeedButton2
    expect_error "The passwords are not identical!" "error-passwords-differ-$dpi"

    type_into Edit2 "${password: -1}" "$password"
    gui_check "indicator, passwords match" "$(indicator)" green
    gui_shot "lock-window-filled-$dpi" "Lock a file"

    # The lock: the save dialog proposes the target's name; the chosen name gets ".exe".
    gui_click_control "Lock a file" SpeedButton2
    gui_wait_window "Save As" >/dev/null
    gui_probe controls "Save As" | grep -q ' in_encrypted\.exe$' \
        || gui_fail "the save dialog does not propose in_encrypted.exe"
    choose_output "save-dialog-$dpi" "$package"
    gui_wait_file "$work/out/package.exe"
    gui_wait_text "Lock a file" Label1 "package.exe has been generated!"
    # The package is exactly what a lock makes from the unlocker of this build, which the
    # command-line program of the same build carries.
    local unlocker="$GUI_BUILD_DIR/unlocker/UnCofrex.exe" verdict
    verdict=$("$GUI_WINE" "$GUI_COFREX" verify "$package.exe" </dev/null | tr -d '\r')
    gui_check "package verified at $dpi DPI" "$verdict" \
        "$package.exe: genuine (unlocker 1.0.0.0, SHA-256 $(sha256sum <"$unlocker" | cut -d' ' -f1))"
    gui_shot "lock-window-done-$dpi" "Lock a file"

    # The same name again: the builder refuses to replace the package.
    gui_click_control "Lock a file" SpeedButton2
    choose_output "save-dialog-again-$dpi" "$package"
    local box
    box=$(gui_wait_window Cofrex)
    gui_probe msgbox Cofrex | grep -qF "text: The package could not be saved as \"$package.exe\"" \
        || gui_fail "no rename error: $(gui_probe msgbox Cofrex)"
    gui_shot "error-package-exists-$dpi" Cofrex
    gui_click_control Cofrex "#1"
    gui_wait_closed "$box"
    gui_wait_text "Lock a file" Label1 ""

    # The information windows. Help chosen again while it is open is the same one window,
    # brought to the front where the user left it.
    menu 0
    gui_wait_window Help >/dev/null
    gui_shot "help-$dpi" Help
    local aside handle left rest
    aside=$(drag_aside Help "$dpi")
    menu 0
    gui_wait_window Help >/dev/null
    gui_check "Help windows" "$(xdotool search --onlyvisible --name '^Help$' | wc -l)" 1
    read -r handle left rest < <(gui_probe find Help)
    gui_check "Help window's place" "$left" "$aside"
    menu 1
    gui_wait_window About >/dev/null
    gui_shot "about-$dpi" About
    close_active About
    menu 2
    gui_wait_window Copyright >/dev/null
    gui_shot "copyright-$dpi" Copyright
    close_active Copyright
    # A closed window comes back from the menu.
    menu 1
    gui_wait_window About >/dev/null
    close_active About
    gui_shot "screen-$dpi"

    # Closing the lock window ends the program, with Help still open.
    activate_main
    gui_key alt+F4
    gui_wait_exit

    # The package unlocks what was locked.
    gui_run "$work/unlocked" "$work/out/package.exe"
    gui_wait_window "Unlock file" >/dev/null
    gui_click_control "Unlock file" Edit1
    gui_type "$password"
    gui_wait_text "Unlock file" Edit1 "$password"
    gui_click_control "Unlock file" SpeedButton1
    gui_wait_exit
    gui_check "unlocked file at $dpi DPI" \
        "$(cmp "$work/source/in.bin" "$work/unlocked/in.bin" && echo same)" same
}

for dpi in 96 144; do
    gui_prefix "$GUI_BUILD_DIR" "$dpi"
    lock_and_unlock "$dpi"
done
echo "locker: screenshots in $GUI_ARTEFACTS"
