# Shared pieces for running the real Windows programs under Wine on a virtual display and
# driving them like a user. Source it from a bash script; see tests/e2e/README.md.
#
# Environment (CTest sets the first three):
#   GUI_BUILD_DIR  the cross-build folder; Wine prefixes are made inside it
#   GUI_WINPROBE   path of winprobe.exe
#   GUI_ARTEFACTS  where screenshots and program output go
#   GUI_TIMEOUT    seconds any wait may take before the test fails (default 30)
#
# Every wait has a timeout and fails the script with a message when it runs out; a script
# that sets its own EXIT trap must call gui_cleanup from it.

GUI_WINE=${GUI_WINE:-/usr/lib/wine/wine64}
GUI_WINESERVER=${GUI_WINESERVER:-/usr/lib/wine/wineserver}
GUI_TIMEOUT=${GUI_TIMEOUT:-30}
GUI_BUILD_DIR=${GUI_BUILD_DIR:-$PWD}
GUI_ARTEFACTS=${GUI_ARTEFACTS:-$GUI_BUILD_DIR/e2e-artefacts/$(basename "$0" .sh)}
GUI_PID=""
GUI_XVFB_PID=""
GUI_VNC_PID=""
GUI_VNC_PORT=""
GUI_PREFIXES=()

gui_fail() {
    echo "gui: $*" >&2
    exit 1
}

gui_log() { echo "gui: $*" >&2; }

# gui_check WHAT ACTUAL EXPECTED: fails the script, showing both, when they differ.
gui_check() {
    [ "$2" == "$3" ] && return 0
    printf 'gui: %s differs\n--- expected\n%s\n--- actual\n%s\n' "$1" "$3" "$2" >&2
    exit 1
}

# Ends what the harness started: the programs of every prefix used, the VNC server, Xvfb.
gui_cleanup() {
    local prefix
    for prefix in "${GUI_PREFIXES[@]}"; do
        WINEPREFIX=$prefix "$GUI_WINESERVER" -k 2>/dev/null || true
    done
    [ -z "$GUI_VNC_PID" ] || kill "$GUI_VNC_PID" 2>/dev/null || true
    [ -z "$GUI_XVFB_PID" ] || kill "$GUI_XVFB_PID" 2>/dev/null || true
    GUI_PREFIXES=()
    GUI_VNC_PID=""
    GUI_XVFB_PID=""
}

# gui_start_display [WIDTH HEIGHT]
# Starts Xvfb on a display number it chooses itself (never one another user holds), exports
# DISPLAY, and stops it when the script exits.
gui_start_display() {
    local width=${1:-1280} height=${2:-1024} number fd
    mkdir -p "$GUI_ARTEFACTS"
    rm -f "$GUI_ARTEFACTS"/*.png "$GUI_ARTEFACTS"/*.log
    exec {fd}< <(exec Xvfb -displayfd 1 -screen 0 "${width}x${height}x24" -nolisten tcp \
        2>"$GUI_ARTEFACTS/xvfb.log")
    GUI_XVFB_PID=$!
    trap gui_cleanup EXIT
    read -r -t "$GUI_TIMEOUT" -u "$fd" number || gui_fail "Xvfb did not start (see $GUI_ARTEFACTS/xvfb.log)"
    exec {fd}<&-
    export DISPLAY=":$number"
}

# gui_start_vnc [PORT]
# Serves the display over VNC on the first free port from PORT (default 5900), without a
# password and for local connections only; the port is left in GUI_VNC_PORT.
gui_start_vnc() {
    local first=${1:-5900} out="$GUI_ARTEFACTS/x11vnc.out"
    x11vnc -display "$DISPLAY" -localhost -nopw -forever -shared -autoport "$first" \
        -o "$GUI_ARTEFACTS/x11vnc.log" </dev/null >"$out" 2>&1 &
    GUI_VNC_PID=$!
    timeout "$GUI_TIMEOUT" bash -c 'until grep -q "^PORT=" "$1"; do sleep 0.1; done' _ "$out" \
        || gui_fail "x11vnc did not start (see $GUI_ARTEFACTS/x11vnc.log)"
    GUI_VNC_PORT=$(sed -n 's/^PORT=//p' "$out" | head -n 1)
}

# gui_prefix BUILD_DIR DPI
# Selects (and makes, once per build folder and DPI) a Wine prefix with the Tahoma fonts,
# the given screen DPI and windows framed by Wine itself, as Windows draws them.
gui_prefix() {
    local build=$1 dpi=$2
    local prefix="$build/wineprefix-gui-$dpi"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    GUI_PREFIXES+=("$prefix")
    [ -f "$prefix/.gui-ready" ] && return 0
    mkdir -p "$build"
    (
        flock 9
        [ -f "$prefix/.gui-ready" ] && exit 0
        gui_log "making the Wine prefix $prefix"
        "$GUI_WINE" wineboot -i >/dev/null 2>&1
        cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
            "$prefix/drive_c/windows/Fonts/"
        "$GUI_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        # Unmanaged windows: Wine draws captions and frames itself, so screenshots show them,
        # and an X window's geometry is the Windows window rectangle.
        "$GUI_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        "$GUI_WINESERVER" -w
        touch "$prefix/.gui-ready"
    ) 9>"$prefix.lock" || gui_fail "could not make the Wine prefix $prefix"
}

# gui_run DIR PROGRAM [ARGS...]
# Starts a Windows program in the folder DIR, in the background; its PID is left in GUI_PID
# and its output in $GUI_ARTEFACTS/<program>.log.
gui_run() {
    local dir=$1 program
    program=$(realpath "$2")
    shift 2
    mkdir -p "$GUI_ARTEFACTS"
    (cd "$dir" && exec "$GUI_WINE" "$program" "$@") \
        </dev/null >>"$GUI_ARTEFACTS/$(basename "$program" .exe).log" 2>&1 &
    GUI_PID=$!
}

# gui_probe COMMAND ARGS...: runs winprobe.exe in the current prefix (see winprobe.cpp).
gui_probe() {
    "$GUI_WINE" "$GUI_WINPROBE" "$@" </dev/null
}

# gui_wait_window TITLE [SECONDS]: waits for a visible X window whose title is exactly TITLE
# and prints its X window id.
gui_wait_window() {
    local title=$1 seconds=${2:-$GUI_TIMEOUT} pattern
    pattern="^$(sed 's/[][\.*^$(){}+?|]/\\&/g' <<<"$title")\$"
    timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" | head -n 1 | grep . \
        || gui_fail "no window \"$title\" within $seconds s"
}

# gui_wait_closed WINDOW_ID [SECONDS]: waits until the X window (from gui_wait_window) is gone,
# for instance a message box after its OK was clicked, before the next box of the same title.
gui_wait_closed() {
    local id=$1 seconds=${2:-$GUI_TIMEOUT}
    timeout "$seconds" bash -c 'while xdotool getwindowname "$1" >/dev/null 2>&1; do sleep 0.1; done' \
        _ "$id" || gui_fail "window $id still there after $seconds s"
}

# gui_rect CAPTION CONTROL: "LEFT TOP RIGHT BOTTOM" of a control, in screen pixels, found by
# designer name ("SpeedButton1") or by "#" and dialog id ("#1" is a message box's OK).
gui_rect() {
    gui_probe rect "$1" "$2" "$GUI_TIMEOUT" || gui_fail "no control $2 in \"$1\""
}

# gui_wait_text CAPTION CONTROL TEXT [SECONDS]: waits until the control's text is TEXT, for
# instance until the keys sent by gui_type have all arrived.
gui_wait_text() {
    local seconds=${4:-$GUI_TIMEOUT}
    local deadline=$((SECONDS + seconds)) text
    until text=$(gui_probe text "$1" "$2" "$seconds") && [ "$text" == "$3" ]; do
        [ "$SECONDS" -lt "$deadline" ] || gui_fail "$2 in \"$1\" reads \"$text\", not \"$3\""
    done
}

# gui_click X Y: a real left click at screen coordinates.
gui_click() {
    xdotool mousemove --sync "$1" "$2" click 1
}

# gui_click_control CAPTION CONTROL: a real click at the centre of a control.
gui_click_control() {
    local left top right bottom
    read -r left top right bottom < <(gui_rect "$1" "$2")
    [ -n "$bottom" ] || gui_fail "no control $2 in \"$1\""
    gui_click $(((left + right) / 2)) $(((top + bottom) / 2))
}

# gui_type TEXT: types TEXT into the control that has the keyboard focus.
gui_type() {
    xdotool type --delay 20 -- "$1"
}

# gui_key KEY...: presses keys by X name ("Return", "Tab", "ctrl+a").
gui_key() {
    xdotool key --delay 20 "$@"
}

# gui_wait_file PATH [SECONDS]: waits until PATH exists.
gui_wait_file() {
    local path=$1 seconds=${2:-$GUI_TIMEOUT}
    timeout "$seconds" bash -c 'until [ -e "$1" ]; do sleep 0.1; done' _ "$path" \
        || gui_fail "no file $path within $seconds s"
}

# gui_wait_exit [PID] [SECONDS]: waits until the program started by gui_run (or PID) ends;
# returns its exit status.
gui_wait_exit() {
    local pid=${1:-$GUI_PID} seconds=${2:-$GUI_TIMEOUT}
    timeout "$seconds" bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.1; done' _ "$pid" \
        || gui_fail "program $pid still running after $seconds s"
    wait "$pid"
}

# gui_shot NAME [CAPTION]: saves a screenshot as $GUI_ARTEFACTS/NAME.png: the whole screen,
# or only the top-level window titled CAPTION.
gui_shot() {
    local file="$GUI_ARTEFACTS/$1.png" handle left top right bottom
    mkdir -p "$GUI_ARTEFACTS"
    if [ $# -ge 2 ]; then
        read -r handle left top right bottom < <(gui_probe find "$2" "$GUI_TIMEOUT")
        [ -n "$bottom" ] || gui_fail "no window \"$2\" to photograph"
        import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$file"
    else
        import -window root "$file"
    fi
}
