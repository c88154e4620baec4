#!/usr/bin/env bash
# A short session at the window as a person has it: Xvfb with openbox, keys typed by xdotool into
# the window that has the focus: the first start's offer answered with Enter; c/#t and Enter in
# FIND ('/' is '?', '#' refused), counted from the minimised window's "Found: N" title; Escape in
# FIND's open list closes only the list; a word list of no word gives a warning in front of its
# dialog, no progress dialog over it, answered with Enter; F10, x exits in order. Skipped (77)
# without Xvfb, openbox, xdotool or xprop.
set -u
source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh"
WINDOW=$(realpath "$1")
CLI=$(realpath "$2")
for tool in Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (./x deps)"; exit 77; }
done
dir=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
# until_ok SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds; false on timeout.
until_ok() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.05
    done
}

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
pids+=($!)
until_ok 10 test -s "$dir/display" || { echo "skipped: Xvfb does not start"; exit 77; }
export DISPLAY=":$(cat "$dir/display")"
openbox --sm-disable >"$dir/openbox.log" 2>&1 &
pids+=($!)
until_ok 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    { echo "skipped: openbox does not start"; exit 77; }
unset QT_QPA_PLATFORM
# In a sanitizer build: on a real display Qt's D-Bus library keeps memory until the end.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ZANTRIC_HOME="$dir/home"
mkdir -p "$ZANTRIC_HOME"

# The program's visible window of that exact title ("" when there is none).
window() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -1; }
titles() {
    for w in $(xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        xdotool getwindowname "$w"
    done | sort | paste -sd '|'
}
has_window() { [[ -n "$(window "$1")" ]]; }
is_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$(window "$1")" ]]; }
focus() {  # focus TITLE STEP: waits for the window and for the keys to go to it
    until_ok 15 has_window "$1" || { fail "$2: no window \"$1\" (windows: $(titles))"; return 1; }
    until_ok 5 is_active "$1" || fail "$2: \"$1\" is not the active window"
}
start() {
    "$WINDOW" >"$dir/window.out" 2>&1 &
    pid=$!
    pids+=("$pid")
}
ended() {  # ended STEP: within 15 s, with status 0, no file left in temp
    until_ok 15 sh -c "! kill -0 $pid 2>/dev/null" || { fail "$1: still running"; kill -9 "$pid"; }
    wait "$pid"
    expect_eq "$1: exit status" "$?" "0"
    expect_eq "$1: files left in temp" "$(ls -A "$ZANTRIC_HOME/temp" | tr '\n' ' ')" ""
}
make_from() {  # make_from FILE NAME: Dictionaries > Create From File, both typed, Enter
    xdotool key alt+d
    sleep 0.3
    xdotool key c
    focus "Make Dictionary From File" "Create From File" || return 1
    xdotool type --delay 10 "$1"
    xdotool key alt+d
    xdotool type --delay 10 "$2"
    xdotool key Return
}

start
focus "No Dictionaries Yet" "first start"
expect_eq "first start: windows" "$(titles)" "No Dictionaries Yet|Zantric"
xdotool key Return
until_ok 60 test -f "$ZANTRIC_HOME/lexicons/english.lex" || fail "no starter dictionary"
focus "Zantric" "after the offer"
expect_eq "after the offer: windows" "$(titles)" "Zantric"

expected=$("$CLI" search 'c?t' 2>/dev/null | wc -l)
((expected > 0)) || fail "the command line finds no c?t word"
xdotool key alt+n ctrl+a
xdotool type --delay 20 'c/#t'
xdotool key Return
sleep 1
main=$(window "Zantric")
xdotool windowminimize "$main"
until_ok 10 sh -c "xdotool getwindowname $main | grep -q '^Found: '" || fail "no Found title"
expect_eq "c/#t: found" "$(xdotool getwindowname "$main")" "Found: $expected"
xdotool windowactivate --sync "$main" 2>/dev/null
focus "Zantric" "restored"

xdotool key alt+n alt+Down
sleep 0.3
xdotool key Escape
sleep 0.5
has_window "Zantric" || fail "Escape in FIND's open list closed the window"

printf '123\n456\nhello world\n' >"$dir/nowords.txt"
make_from "$dir/nowords.txt" nowords
focus "Warning" "no words"
sleep 0.8  # a progress dialog would have shown itself over the warning by now
is_active "Warning" || fail "no words: the warning is not in front"
has_window "Please Wait..." && fail "no words: a progress dialog came up"
expect_eq "no words: the warning's owner" \
    "$(xprop -id "$(window Warning)" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')" \
    "$(printf '0x%x' "$(window "Make Dictionary From File")")"
xdotool key Return
focus "Make Dictionary From File" "no words, answered"
[[ ! -e "$ZANTRIC_HOME/lexicons/nowords.lex" ]] || fail "no words: a dictionary was made"
xdotool key Escape
focus "Zantric" "the dialog closed"

xdotool key F10
sleep 0.3
xdotool key x
ended "exit from the File menu"
grep -q '^right=' "$ZANTRIC_HOME/zantric.ini" || fail "exit: no window position written"
finish
