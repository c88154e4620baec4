#!/usr/bin/env bash
# The window told to end by a signal (SIGTERM, SIGHUP or SIGINT, as at the end of a desktop
# session) closes in order, as Exit closes it, also with a message box waiting for an answer (the
# first start's): it exits with status 0, leaves no instance marker and no temporary file, and
# writes its window position.
set -u
source "$(dirname "$(realpath "$0")")/../cli/test_lib.sh"
WINDOW=$(realpath "$1")
CLI=$(realpath "$2")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
export QT_QPA_PLATFORM=offscreen

# end_with NAME SIGNAL FOLDER READY: starts the window on FOLDER, sends SIGNAL half a second
# after a file matching READY (in FOLDER) is there, and checks how it ended.
end_with() {
    local name=$1 signal=$2 folder=$3 ready=$4 pid status waited=0
    "$WINDOW" -C "$folder" >"$name.out" 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        compgen -G "$folder/$ready" >/dev/null && break
        sleep 0.05
    done
    sleep 0.5
    kill -"$signal" "$pid"
    while kill -0 "$pid" 2>/dev/null && ((waited < 150)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "$name: still running 15 s after SIG$signal"
        kill -9 "$pid"
    fi
    wait "$pid"
    status=$?
    expect_eq "$name: exit status" "$status" "0"
    expect_eq "$name: files left in temp" "$(ls -A "$folder/temp" 2>/dev/null | tr '\n' ' ')" ""
    grep -q '^\[WINDOW POSITION\]' "$folder/zantric.ini" 2>/dev/null ||
        fail "$name: no window position written"
}

# A first start: its box (the offer of a dictionary, or the notice that there is none) waits for
# its answer.
mkdir first idle twice
end_with "box in front" TERM first zantric.ini
# Idle, with a dictionary.
printf 'cat\ndog\n' >words.txt
"$CLI" -C idle make words.txt small >/dev/null 2>&1 || fail "setting up: make"
end_with "idle" HUP idle "temp/*.zti"
# Interrupted from the terminal.
"$CLI" -C twice make words.txt small >/dev/null 2>&1 || fail "setting up: make"
end_with "interrupted" INT twice "temp/*.zti"
finish
