#!/usr/bin/env bash
# A session at the real window (Xvfb, openbox, keys from xdotool): the first start's offer, c/#t and Enter
# counted from the minimised window's title, Escape in FIND's list, a no-word list's warning in front of
# its dialog, F10 x. Skipped (77) without Xvfb, openbox, xdotool or xprop.
WINDOW=$(realpath "$1") && source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh" "$2"
for tool in Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (./x deps)"; exit 77; }
done
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
until_ok 10 test -s display || { echo "skipped: Xvfb does not start"; exit 77; }
export DISPLAY=":$(cat display)"
openbox --sm-disable >openbox.log 2>&1 & pids+=($!)
until_ok 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    { echo "skipped: openbox does not start"; exit 77; }
unset QT_QPA_PLATFORM
# In a sanitizer build: on a real display Qt's D-Bus library keeps memory until the end.
export LSAN_OPTIONS="suppressions=$HERE/../gui/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ZANTRIC_HOME=$dir/home
mkdir home
window() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -1; }  # TITLE
titles() { xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null | xargs -rn1 xdotool getwindowname | sort | paste -sd '|'; }
has_window() { [[ -n "$(window "$1")" ]]; }
is_active() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$(window "$1")" ]]; }
focus() {  # focus TITLE STEP: waits for the window and for the keys to go to it
    until_ok 15 has_window "$1" || { fail "$2: no window \"$1\" (windows: $(titles))"; return 1; }
    until_ok 5 is_active "$1" || fail "$2: \"$1\" is not the active window"
}
"$WINDOW" >window.out 2>&1 & pid=$! && pids+=("$pid")
focus "No Dictionaries Yet" "first start"
expect_eq "first start: windows" "$(titles)" "No Dictionaries Yet|Zantric"
xdotool key Return
until_ok 60 test -f home/lexicons/english.lex || fail "no starter dictionary"
focus "Zantric" "after the offer"
expect_eq "after the offer: windows" "$(titles)" "Zantric"
expected=$("$CLI" search 'c?t' 2>/dev/null | wc -l)
((expected > 0)) || fail "the command line finds no c?t word"
xdotool key alt+n ctrl+a && xdotool type --delay 20 'c/#t' && xdotool key Return
sleep 1
main=$(window "Zantric")
xdotool windowminimize "$main"
until_ok 10 eval "xdotool getwindowname $main | grep -q '^Found: '" || fail "no Found title"
expect_eq "c/#t: found" "$(xdotool getwindowname "$main")" "Found: $expected"
xdotool windowactivate --sync "$main" 2>/dev/null
focus "Zantric" "restored"
# Copy: Ctrl+A and Ctrl+C in the list put what the command line prints on the clipboard, one match a line.
if command -v xclip >/dev/null; then
    "$CLI" search 'c?t' >cli.txt 2>/dev/null
    xdotool key alt+n Tab Tab Tab Tab ctrl+a ctrl+c && sleep 0.3
    xclip -o -selection clipboard >clip.txt 2>&1
    cmp -s clip.txt cli.txt || fail "copy: the clipboard holds [$(head -c 200 clip.txt)], not [$(head -c 200 cli.txt)]"
else fail "copy: xclip is not installed (./x deps)"; fi
xdotool key alt+n alt+Down && sleep 0.3 && xdotool key Escape && sleep 0.5
has_window "Zantric" || fail "Escape in FIND's open list closed the window"
printf '123\n456\nhello world\n' >nowords.txt
xdotool key alt+d && sleep 0.3 && xdotool key c  # Dictionaries > Create From File
focus "Make Dictionary From File" "Create From File" &&
    xdotool type --delay 10 "$dir/nowords.txt" && xdotool key alt+d && xdotool type --delay 10 nowords &&
    xdotool key Return
focus "Warning" "no words"
sleep 0.8  # a progress dialog would have shown itself over the warning by now
is_active "Warning" || fail "no words: the warning is not in front"
has_window "Please Wait..." && fail "no words: a progress dialog came up"
expect_eq "no words: the warning's owner" "$(xprop -id "$(window Warning)" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')" \
    "$(printf '0x%x' "$(window "Make Dictionary From File")")"
xdotool key Return
focus "Make Dictionary From File" "no words, answered"
[[ ! -e home/lexicons/nowords.lex ]] || fail "no words: a dictionary was made"
xdotool key Escape
focus "Zantric" "the dialog closed"
xdotool key F10 && sleep 0.3 && xdotool key x
ended "exit from the File menu" "$pid" home
grep -q '^right=' home/zantric.ini || fail "exit: no window position written"
finish
