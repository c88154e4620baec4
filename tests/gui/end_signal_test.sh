#!/usr/bin/env bash
# SIGTERM, SIGHUP or SIGINT (also with the first start's box up) close the window as Exit does: status 0,
# nothing left in temp, its position written.
WINDOW=$(realpath "$1") && source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh" "$2"
export QT_QPA_PLATFORM=offscreen
end_with() {  # end_with NAME SIGNAL FOLDER READY: the signal half a second after FOLDER/READY exists
    "$WINDOW" -C "$3" >"$1.out" 2>&1 &
    until_ok 10 compgen -G "$3/$4" >/dev/null
    sleep 0.5; kill -"$2" $!; ended "$1 (SIG$2)" $! "$3"
    grep -q '^\[WINDOW POSITION\]' "$3/zantric.ini" || fail "$1: no window position"
}
mkdir first idle twice && printf 'cat\ndog\n' >words.txt
end_with "box in front" TERM first zantric.ini
for folder in idle twice; do "$CLI" -C $folder make words.txt small >/dev/null 2>&1 || fail "setting up: make"; done
end_with idle HUP idle "temp/*.zti"
end_with interrupted INT twice "temp/*.zti"
finish
