#!/usr/bin/env bash
# The window told to end by SIGTERM, SIGHUP or SIGINT (as at the end of a desktop session) closes
# in order as Exit does, also with the first start's box waiting: status 0, no instance marker or
# temporary file left, its window position written.
set -u
source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh"
WINDOW=$(realpath "$1")
CLI=$(realpath "$2")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
export QT_QPA_PLATFORM=offscreen

# end_with NAME SIGNAL FOLDER READY: the signal half a second after FOLDER/READY exists.
end_with() {
    local name=$1 folder=$3 pid
    "$WINDOW" -C "$folder" >"$name.out" 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        compgen -G "$folder/$4" >/dev/null && break
        sleep 0.05
    done
    sleep 0.5
    kill -"$2" "$pid"
    for _ in $(seq 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && { fail "$name: still running 15 s after SIG$2"; kill -9 "$pid"; }
    wait "$pid"
    expect_eq "$name: exit status" "$?" "0"
    expect_eq "$name: files left in temp" "$(ls -A "$folder/temp" 2>/dev/null | tr '\n' ' ')" ""
    grep -q '^\[WINDOW POSITION\]' "$folder/zantric.ini" || fail "$name: no window position"
}

mkdir first idle twice
end_with "box in front" TERM first zantric.ini
printf 'cat\ndog\n' >words.txt
for folder in idle twice; do
    "$CLI" -C $folder make words.txt small >/dev/null 2>&1 || fail "setting up: make"
done
end_with "idle" HUP idle "temp/*.zti"
end_with "interrupted" INT twice "temp/*.zti"
finish
