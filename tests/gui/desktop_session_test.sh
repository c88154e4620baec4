#!/usr/bin/env bash
# A short session at the window as a person has it: an X server (Xvfb) with a window manager
# (openbox), the keys typed with xdotool into whatever window has the focus.
#  1. First start on an empty folder: one box, the offer of a dictionary; Enter makes it.
#  2. c/#t and Enter in FIND: '/' is typed as '?', '#' is refused, and the search finds the c?t
#     words (counted from the "Found: N" title of the minimised window).
#  3. FIND's list opened and closed with Escape: the program still runs.
#  4. Create From File with a list of no word: the warning is in front of its dialog, no
#     progress dialog comes up over it, Enter answers it, no dictionary is made, the dialog is
#     back.
#  5. F10 opens the File menu, x is Exit: the program ends with status 0, its position written.
#  6. Started again: the same warning (a list of binary junk) waits when SIGTERM comes; the
#     program ends in order.
# Skipped (status 77) when Xvfb, openbox, xdotool or xprop is missing or no X server starts.
# With ZANTRIC_SHOTS=DIR it leaves a screenshot of each step there (ImageMagick's import).
set -u
source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh"
WINDOW=$(realpath "$1")
CLI=$(realpath "$2")

for tool in Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (./x deps)"; exit 77; }
done
dir=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

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
step=0
shot() {
    [[ -n "${ZANTRIC_SHOTS:-}" ]] || return 0
    step=$((step + 1))
    mkdir -p "$ZANTRIC_SHOTS" && import -window root "$ZANTRIC_SHOTS/$(printf %02d "$step")-$1.png"
}

# The program's visible window of that exact title ("" when there is none).
window() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -1; }
titles() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        xdotool getwindowname "$w"
    done | sort | paste -sd '|'
}
has_window() { [[ -n "$(window "$1")" ]]; }
no_window() { [[ -z "$(window "$1")" ]]; }
is_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$(window "$1")" ]]; }
# Waits for the window and makes sure the keys will go to it.
focus() {
    until_ok 15 has_window "$1" || { fail "$2: no window \"$1\" (windows: $(titles))"; return 1; }
    until_ok 5 is_active "$1" || { fail "$2: \"$1\" is not the active window"; return 1; }
}
start() {
    "$WINDOW" >"$dir/window.out" 2>&1 &
    pid=$!
    pids+=("$pid")
}
# ended NAME: the program has ended (within 15 s) with status 0 and left no file in temp.
ended() {
    until_ok 15 sh -c "! kill -0 $pid 2>/dev/null" || { fail "$1: still running"; kill -9 "$pid"; }
    wait "$pid"
    expect_eq "$1: exit status" "$?" "0"
    expect_eq "$1: files left in temp" "$(ls -A "$ZANTRIC_HOME/temp" | tr '\n' ' ')" ""
}
# make_from FILE NAME: Dictionaries > Create From File, the file and the name typed, Enter.
make_from() {
    xdotool key alt+d
    sleep 0.3
    xdotool key c
    focus "Make Dictionary From File" "Create From File" || return 1
    xdotool type --delay 10 "$1"
    xdotool key alt+d
    xdotool type --delay 10 "$2"
    xdotool key Return
}

begin=$SECONDS
# 1. The first start shows one box, the offer.
start
focus "No Dictionaries Yet" "first start"
expect_eq "first start: windows" "$(titles)" "No Dictionaries Yet|Zantric"
shot first-start
xdotool key Return
until_ok 60 sh -c "[ -f '$ZANTRIC_HOME/lexicons/english.lex' ]" || fail "no starter dictionary"
focus "Zantric" "after the offer"
expect_eq "after the offer: windows" "$(titles)" "Zantric"

# 2. c/#t typed into FIND and Enter: the c?t words.
expected=$("$CLI" search 'c?t' 2>/dev/null | wc -l)
xdotool key alt+n ctrl+a
xdotool type --delay 20 'c/#t'
xdotool key Return
sleep 1
shot c-t-searched
main=$(window "Zantric")
xdotool windowminimize "$main"
until_ok 10 sh -c "xdotool getwindowname $main | grep -q '^Found: '" || fail "no Found title"
expect_eq "c/#t: found" "$(xdotool getwindowname "$main")" "Found: $expected"
((expected > 0)) || fail "the command line finds no c?t word"
xdotool windowactivate --sync "$main" 2>/dev/null
focus "Zantric" "restored"

# 3. FIND's list opened, then Escape: only the list closes.
xdotool key alt+n alt+Down
sleep 0.3
shot find-list-open
xdotool key Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "Escape in FIND's open list ended the program"
has_window "Zantric" || fail "Escape in FIND's open list closed the window"

# 4. A list without a word: the warning in front of its dialog, answered with Enter.
printf '123\n456\nhello world\n' >"$dir/nowords.txt"
make_from "$dir/nowords.txt" nowords
focus "Warning" "no words"
sleep 0.8  # a progress dialog would have shown itself over the warning by now
is_active "Warning" || fail "no words: the warning is not in front"
no_window "Please Wait..." || fail "no words: a progress dialog came up"
expect_eq "no words: the warning's owner" \
    "$(xprop -id "$(window Warning)" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')" \
    "$(printf '0x%x' "$(window "Make Dictionary From File")")"
shot no-words-warning
xdotool key Return
focus "Make Dictionary From File" "no words, answered"
[[ ! -e "$ZANTRIC_HOME/lexicons/nowords.lex" ]] || fail "no words: a dictionary was made"
xdotool key Escape
focus "Zantric" "the dialog closed"

# 5. F10, then x: Exit.
xdotool key F10
sleep 0.3
shot file-menu
xdotool key x
ended "exit from the File menu"
grep -q '^right=' "$ZANTRIC_HOME/zantric.ini" || fail "exit: no window position written"

# 6. SIGTERM while the warning about a list of binary junk waits.
head -c 20000 /dev/urandom | tr -d 'A-Za-z' >"$dir/junk.bin"
start
focus "Zantric" "second start"
make_from "$dir/junk.bin" junk
focus "Warning" "junk"
kill -TERM "$pid"
ended "SIGTERM with the warning waiting"
[[ ! -e "$ZANTRIC_HOME/lexicons/junk.lex" ]] || fail "junk: a dictionary was made"

echo "session: $((SECONDS - begin)) s"
finish
