#!/usr/bin/env bash
# The GUI harness itself, at 96 and 144 DPI, on winprobe's demo: the prefix draws with Tahoma
# at the DPI asked for, winprobe's screen coordinates are the X display's, message boxes are
# read (text, icon, button) and answered by real clicks, typing reaches the focused edit, a
# click on a control found by its designer name presses it, and the program's end is seen.
set -euo pipefail
source "$(dirname "$0")/gui.sh"

gui_start_display

run_demo() {
    local dpi=$1 work="$GUI_ARTEFACTS/work-$1"
    gui_prefix "$GUI_BUILD_DIR" "$dpi"
    gui_check "screen at $dpi DPI" "$(gui_probe screen)" "dpi: $dpi
size: 1280 1024
tahoma: Tahoma"

    rm -rf "$work" && mkdir -p "$work"
    gui_run "$work" "$GUI_WINPROBE" demo saved.txt

    local stop_box
    stop_box=$(gui_wait_window Winprobe)
    gui_check "stop box at $dpi DPI" "$(gui_probe msgbox Winprobe)" "caption: Winprobe
icon: yes
text: This box has a stop icon.
text: It has two lines.
button: OK"
    # Wine's window rectangle is where the X server shows the window: clicks land where
    # winprobe says a control is.
    local handle left top right bottom
    read -r handle left top right bottom < <(gui_probe find Winprobe)
    gui_check "X geometry of the box" "$(xdotool getwindowgeometry --shell "$stop_box" | grep -E '^(X|Y|WIDTH|HEIGHT)=')" \
        "X=$left
Y=$top
WIDTH=$((right - left))
HEIGHT=$((bottom - top))"
    gui_shot "stop-box-$dpi" Winprobe
    gui_click_control Winprobe "#1"
    gui_wait_closed "$stop_box"

    local plain_box
    plain_box=$(gui_wait_window Winprobe)
    gui_check "plain box at $dpi DPI" "$(gui_probe msgbox Winprobe)" "caption: Winprobe
icon: no
text: This box is plain.
button: OK"
    gui_shot "plain-box-$dpi" Winprobe
    gui_click_control Winprobe "#1"
    gui_wait_closed "$plain_box"

    # Controls are laid out in 96-DPI units scaled by the program: 200 pixels wide at 96 DPI.
    read -r left top right bottom < <(gui_rect "Winprobe demo" Edit1)
    gui_check "edit width at $dpi DPI" "$((right - left))" "$((200 * dpi / 96))"
    gui_click_control "Winprobe demo" Edit1
    gui_type "Typed at $dpi DPI"
    gui_wait_text "Winprobe demo" Edit1 "Typed at $dpi DPI"
    gui_shot "demo-window-$dpi" "Winprobe demo"
    gui_shot "screen-$dpi"

    gui_click_control "Winprobe demo" Button1
    gui_wait_file "$work/saved.txt"
    gui_wait_exit || gui_fail "the demo ended with status $?"
    gui_check "saved text" "$(cat "$work/saved.txt")" "Typed at $dpi DPI"
}

run_demo 96
run_demo 144
echo "harness: screenshots in $GUI_ARTEFACTS"
