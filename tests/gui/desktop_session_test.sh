#!/usr/bin/env bash
# A session at the real window (Xvfb, openbox, keys from xdotool): the first start's offer, c/#t and Enter
# counted from the minimised window's title, Escape in FIND's list, Best first saved and viewed, a
# no-word list's warning in front of its dialog, F10 x. Skipped (77) without Xvfb, openbox, xdotool or xprop.
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
export LSAN_OPTIONS="suppressions=$HERE/../support/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
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
# Best first (with the installed phrase model): ! from schoolmaster lists the command line's best first;
# Save As keeps that order and says it was ranked, and View shows the saved order again.
if [[ -r /usr/share/pocketsphinx/model/en-us/en-us.lm.bin ]]; then
    xdotool key alt+t alt+n ctrl+a && xdotool type '!' && xdotool key alt+r ctrl+a &&
        xdotool type schoolmaster && xdotool key Return
    until_ok 60 eval 'ls home/temp/*.ztr >/dev/null 2>&1' || fail "best first: no best matches"
    sleep 0.5 && xdotool key alt+f && sleep 0.3 && xdotool key a
    focus "Save Zantric Results" "best first: Save As" && xdotool type "$dir/best.ztr" && xdotool key Return
    focus "Zantric" "best first: saved"
    "$CLI" search '!' --from schoolmaster --best 1000 >best.txt 2>/dev/null
    "$CLI" view "$dir/best" >saved.txt 2>&1
    grep -qx "Ranked: yes" saved.txt || fail "best first: the saved header says nothing of ranking"
    expect_eq "best first: saved order" "$(grep -v ': ' saved.txt | head -5)" "$(head -5 best.txt)"
    xdotool key F3 alt+f && sleep 0.3 && xdotool key v
    focus "Open Results" "best first: View" && xdotool type "$dir/best.ztr" && xdotool key Return
    focus "Zantric" "best first: viewed" && sleep 0.3 && xdotool key alt+r Tab ctrl+a ctrl+c && sleep 0.3
    cmp -s <(xclip -o -selection clipboard) best.txt || fail "best first: View shows another order"
    xdotool key alt+t alt+r ctrl+a BackSpace  # the next searches are not ranked, FROM is empty
fi
# Keys: after a search the focus is back in FIND, so a ? typed next makes c?t into c?t?; Enter and
# keypad Enter press the focused button of a dialog (Edit Stoplist…, the stoplist's OK, Cancel).
expected=$("$CLI" search 'c?t?' 2>/dev/null | wc -l)
xdotool key alt+n ctrl+a && xdotool type --delay 20 'c?t' && xdotool key Return && sleep 1
xdotool type '?' && xdotool key Return && sleep 1 && xdotool windowminimize "$main"
until_ok 10 eval "xdotool getwindowname $main | grep -q '^Found: '" || fail "no Found title"
expect_eq "typed after a search: found" "$(xdotool getwindowname "$main")" "Found: $expected"
xdotool windowactivate --sync "$main" 2>/dev/null
focus "Zantric" "restored" && xdotool key alt+o && sleep 0.3 && xdotool key p
focus "Phrase Options" "Options > Phrase Options" && xdotool key Tab Tab Tab Return
focus "Stoplist" "Enter on Edit Stoplist" && xdotool type 'towns' && xdotool key Tab Return
focus "Phrase Options" "Enter on the stoplist's OK" && xdotool key Tab Tab Tab Tab KP_Enter
focus "Zantric" "keypad Enter on Cancel"
expect_eq "stoplist saved by Enter" "$(cat home/stoplist.txt 2>&1)" "towns"
grep -q "PHRASE OPTIONS" home/zantric.ini && fail "keypad Enter on Cancel pressed OK"
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
focus "Confirm" "exit with unsaved matches" && xdotool key alt+y
ended "exit from the File menu" "$pid" home
grep -q '^right=' home/zantric.ini || fail "exit: no window position written"

# Escape while a cancelled search stops closes nothing; its matches go only after a question, whose
# "Don't ask again" the ini keeps.
"$WINDOW" >window.out 2>&1 & pid=$! && pids+=("$pid")
focus "Zantric" "long search"
xdotool key alt+n ctrl+a && xdotool type '!' && xdotool key alt+r ctrl+a && xdotool type clinteastwoods &&
    xdotool key Return
# Twenty million matches (four bytes each in the index): the window takes a while to show them
# once the search has stopped, and an Escape then comes while it is stopping.
until_ok 120 eval '(($(stat -c %s home/temp/*.zix 2>/dev/null || echo 0) > 80000000))' ||
    fail "long search: too few matches"
xdotool key Escape && focus "Confirm" "cancel question" && xdotool key alt+y
sleep 0.1 && xdotool key Escape && sleep 1
expect_eq "Escape while stopping: windows" "$(titles)" "Zantric"
asked() { xdotool key Escape; until_ok 3 has_window Confirm; }
until_ok 60 asked || fail "Escape while stopping: no question before the matches go (windows: $(titles))"
focus "Confirm" "unsaved matches" && xdotool key alt+d alt+y
ended "unsaved matches discarded" "$pid" home
grep -q '^Discard Warning=1' home/zantric.ini || fail "Don't ask again: not kept"

# A position from a large screen restored on a small one lies on it; a second copy opens beside.
Xvfb -displayfd 4 -screen 0 1024x600x24 -nolisten tcp 4>small 2>>xvfb.log & pids+=($!)
until_ok 10 test -s small && export DISPLAY=":$(cat small)" || fail "small screen: Xvfb does not start"
openbox --sm-disable >>openbox.log 2>&1 & pids+=($!)
until_ok 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
sed -i 's/^left=.*/left=300/; s/^top=.*/top=200/; s/^right=.*/right=1800/; s/^bottom=.*/bottom=1200/' home/zantric.ini
frame() {  # frame PID: left top right bottom of the frame of PID's window, once the window manager framed it
    local id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Zantric$' | head -1)
    [[ -n $id ]] || return 1
    local m=($(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9]\+'))  # left right top bottom
    local w=($(xwininfo -id "$id" 2>/dev/null | grep -oP '(Absolute upper-left [XY]|Width|Height): *\K-?[0-9]+'))
    ((${#m[@]} == 4 && ${#w[@]} == 4)) && echo "$((w[0] - m[0])) $((w[1] - m[2])) $((w[0] + w[2] + m[1])) $((w[1] + w[3] + m[3]))"
}
on_screen() { local at l t r b; at=$(frame "$1") && read -r l t r b <<<"$at" && ((l >= 0 && t >= 0 && r <= 1024 && b <= 600)); }
"$WINDOW" >window.out 2>&1 & pid=$! && pids+=("$pid")
until_ok 15 on_screen "$pid" || fail "small screen: the frame $(frame "$pid") is not within 1024x600"
"$WINDOW" >window2.out 2>&1 & second=$! && pids+=("$second")
until_ok 15 on_screen "$second" || fail "second copy: the frame $(frame "$second") is not within 1024x600"
read -r l t _ <<<"$(frame "$pid")" && read -r l2 t2 _ <<<"$(frame "$second")"
expect_eq "second copy: offset" "$((l2 - l)),$((t2 - t))" "30,30"
kill "$second" && until_ok 15 eval "! kill -0 $second 2>/dev/null" && wait "$second"
expect_eq "second copy: status" "$?" 0
kill "$pid" && ended "small screen" "$pid" home
finish
