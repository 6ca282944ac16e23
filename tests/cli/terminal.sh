#!/usr/bin/env bash
# terminal.sh COFREX: cofrex in a real terminal (a tmux pane). The typed passwords never
# show, the progress bar is drawn on the terminal, and Ctrl-C in the middle of a lock or
# an unlock ends the command with exit code 3 and leaves no file behind. Every wait polls
# the pane for what it needs, with a deadline.
set -euo pipefail
cofrex=$(realpath "$1")
work=$(mktemp -d)
session=cofrex
password="Zebra-Quartz-9"
# A tmux server of this test's own, never the user's.
export TMUX_TMPDIR="$work/tmux"
mkdir -p "$TMUX_TMPDIR" "$work/files"
files="$work/files"

cleanup() {
    tmux kill-server 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

pane() { tmux capture-pane -p -J -t "$session" -S -200; }
fail() {
    echo "FAIL: $*"
    echo "--- terminal:"
    pane
    exit 1
}
# wait_for REGEX [SECONDS]: until the pane shows a line matching REGEX.
wait_for() {
    local deadline=$((SECONDS + ${2:-120}))
    until pane | grep -Eq -- "$1"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "no line matching /$1/ after ${2:-120} s"
        sleep 0.1
    done
}
# run N COMMAND: types the command; its end shows as "EXIT<N>=<code>".
run() {
    tmux send-keys -t "$session" -l "$2; echo EXIT$1=\$?"
    tmux send-keys -t "$session" Enter
}
type_password() {
    wait_for "$1"'$'
    tmux send-keys -t "$session" -l "$password"
    tmux send-keys -t "$session" Enter
}
check_files() {
    local actual
    actual=$(cd "$1" && ls -A | tr '\n' ' ')
    [ "$actual" = "$2" ] || fail "files in $1: '$actual', expected '$2'"
}

head -c 1000000 /dev/urandom >"$files/small.bin"
head -c 400000000 /dev/zero >"$files/big.bin"
mkdir "$files/out"
tmux new-session -d -s "$session" -x 200 -y 50 -c "$files" \
    "env XDG_DATA_HOME=$work/appdata PS1='$ ' bash --norc --noprofile"

# Lock and unlock with the passwords typed: no echo, a full progress bar.
run 1 "$cofrex lock small.bin"
type_password "Password: "
type_password "Confirm password: "
wait_for "^EXIT1=0"
wait_for 'Locking \[#{20}\] 100%  976\.6 KiB / 976\.6 KiB'
run 2 "$cofrex unlock small_encrypted.exe -C out"
type_password "Password: "
wait_for "^EXIT2=0"
wait_for 'Unlocking \[#{20}\] 100%'
cmp "$files/small.bin" "$files/out/small.bin" || fail "the unlocked file differs"
pane | grep -q -- "$password" && fail "the password was echoed"

# Ctrl-C as soon as the lock's bar moves: no package, no work file, no partial copy.
run 3 "$cofrex lock big.bin"
type_password "Password: "
type_password "Confirm password: "
wait_for 'Locking \[[#.]{20}\] +[0-9]+%  [0-9.]+ [KM]iB / 381\.5 MiB  '
tmux send-keys -t "$session" C-c
wait_for "^EXIT3="
wait_for "^EXIT3=3"
wait_for "^cofrex: interrupted: big_encrypted.exe was not written"
check_files "$files" "big.bin out small.bin small_encrypted.exe "

# Ctrl-C during an unlock: nothing in the output folder.
echo "$password" | XDG_DATA_HOME="$work/appdata" "$cofrex" lock "$files/big.bin" --password-stdin >/dev/null
mkdir "$files/out2"
run 4 "$cofrex unlock big_encrypted.exe -C out2"
type_password "Password: "
wait_for 'Unlocking \[[#.]{20}\] +[0-9]+%  [0-9.]+ [KM]iB / 381\.5 MiB  '
tmux send-keys -t "$session" C-c
wait_for "^EXIT4=3"
wait_for "^cofrex: interrupted: out2/big.bin was not written"
check_files "$files/out2" ""
pane | grep -q -- "$password" && fail "the password was echoed"
echo "terminal: passwords hidden, progress drawn, Ctrl-C left nothing"
