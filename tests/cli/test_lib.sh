# Sourced by the end-to-end tests (the program under test as $1): a scratch folder with an empty
# program folder prog, helpers, and failures counted as they come, which decide the exit status.
set -u
CLI=$(realpath "$1")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export LSAN_OPTIONS="suppressions=$HERE/../support/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
dir=$(realpath "$(mktemp -d -p "${tmp:-/dev/shm}" 2>/dev/null || mktemp -d)")  # $tmp: where, if not in memory
trap 'rm -rf "$dir"' EXIT
cd "$dir" && mkdir prog
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() { [[ "$2" == "$3" ]] || fail "$1: got [$2], expected [$3]"; }  # NAME ACTUAL EXPECTED
expect_err() { grep -qxF -- "$2" "$dir/err.txt" || fail "$1: stderr lacks [$2]: $(cat "$dir/err.txt")"; }
sane() {  # sane WHAT: the last run neither crashed nor drew a sanitizer report or a progress line
    ((status < 128)) || fail "$1: status $status: $(tail -3 "$dir/err.txt")"
    ! grep -q 'Sanitizer\|runtime error' "$dir/err.txt" || fail "$1: $(grep -m1 'Sanitizer\|runtime error' "$dir/err.txt")"
    ! grep -q $'\r' "$dir/err.txt" || fail "$1: a progress line on a stderr that is no terminal"
}
runner=()  # a command the program runs under; $folder and $out stand for prog and out.txt
run() {  # run ARGS...: on prog with no terminal to answer questions; sets $status, out.txt, err.txt
    "${runner[@]}" "$CLI" -C "${folder:-$dir/prog}" "$@" >"${out:-$dir/out.txt}" 2>"$dir/err.txt" </dev/null
    status=$? && sane "$*"
    return $status
}
# table: rows "ARGS|STATUS|TEXTS|OUTPUT" run by `run`; each of the TEXTS (joined by &) is in stdout or
# stderr (with a leading ! in neither); OUTPUT is stdout, ',' for each line end; empty fields: no check.
table() {
    local args want texts output text
    set -f
    while IFS='|' read -r args want texts output; do
        eval "run $args"
        [[ -z $want ]] || expect_eq "$args: status" "$status" "$want"
        [[ -z $output ]] || expect_eq "$args: output" "$(tr '\n' , <"$dir/out.txt")" "$output"
        IFS='&' read -ra texts <<<"$texts"
        for text in "${texts[@]}"; do
            if grep -qF -- "${text#!}" "$dir/out.txt" "$dir/err.txt"; then [[ $text != '!'* ]]; else [[ $text == '!'* ]]; fi ||
                fail "$args: [$text] (! absent) not so in: $(cat "$dir/out.txt" "$dir/err.txt")"
        done
    done
    set +f
}
until_ok() { local end=$((SECONDS + $1)); until "${@:2}"; do ((SECONDS < end)) || return 1; sleep 0.02; done; }  # S CMD...
wait_for() { until_ok 10 compgen -G "$1" >/dev/null; }  # PATTERN
ended() {  # ended WHAT PID FOLDER: PID ends within 15 s with status 0, leaving FOLDER/temp empty
    until_ok 15 eval "! kill -0 $2 2>/dev/null" || { fail "$1: still running"; kill -9 "$2"; }
    wait "$2"; expect_eq "$1: status, left in temp" "$? $(ls -A "$3/temp" 2>/dev/null | xargs)" "0 "
}
words() { "$CLI" words "$dir/prog/lexicons/$1" 2>/dev/null | tr '\n' ' '; }  # words FILE.lex
snapshot() { (cd "$dir/prog" && find "${@:-.}" -type f ! -name '*.zti' -exec md5sum {} + | LC_ALL=C sort); }
on_tty() { command -v script >/dev/null && { script -qec "$*" /dev/null >tty.txt 2>&1; true; }; }  # CMD: tty.txt, if can
temp_files() { find "$dir/prog/temp" -type f ! -name '$$othercopy.zti' 2>/dev/null | wc -l; }
randoms() {  # randoms SEED COUNT: random words of 1 to 9 letters
    awk -v n="$2" "BEGIN { srand($1); for (i = 0; i < n; i++) { w = \"\"; k = 1 + int(rand() * 9)
        for (j = 0; j < k; j++) w = w sprintf(\"%c\", 97 + int(rand() * 26)); print w } }"
}
helper() {  # helper NAME[.so] FLAGS...: builds tests/cli/NAME.cpp here, or skips the test
    c++ -std=c++17 -O1 -Wall -Wextra -Werror -o "$1" "$HERE/${1%.so}.cpp" "${@:2}" 2>build.txt ||
        { echo "SKIP: the helper $1 does not build here: $(cat build.txt)"; exit 0; }
}
settled() { "$CLI" -C prog list 2>&1; ./fault_state prog; }  # prog after the next start, which cleans up
# acceptable OLD NEW NOW KILLED: each file of NOW is the old or the new one, a backup may be the
# dictionary it backs up, the catalogue is one of the two; unless KILLED is kill, the two files
# of the saved pair are both old, both new or both gone.
acceptable() {
    [[ "$3" == "$1" || "$3" == "$2" ]] && return 0
    local -A was=() will=() now=()
    local path hash
    while read -r path hash; do was[$path]=$hash; done <<<"$1"
    while read -r path hash; do will[$path]=$hash; done <<<"$2"
    while read -r path hash; do now[$path]=$hash; done <<<"$3"
    local catalogue=$(grep -v '^[a-z]' <<<"$3")
    [[ $catalogue == "$(grep -v '^[a-z]' <<<"$1")" || $catalogue == "$(grep -v '^[a-z]' <<<"$2")" ]] || return 1
    for path in "${!was[@]}" "${!will[@]}" "${!now[@]}"; do
        [[ $path == */* && ($4 == kill || $path != files/saved.*) ]] || continue
        hash=${now[$path]:-gone}
        [[ $hash == "${was[$path]:-gone}" || $hash == "${will[$path]:-gone}" ]] && continue
        [[ $path == *.lxb && $hash == "${was[${path%.lxb}.lex]:-}" ]] && continue
        return 1
    done
    [[ $4 == kill ]] && return 0
    local pair="${now[files/saved.ztr]:-gone} ${now[files/saved.zix]:-gone}"
    [[ $pair == "${was[files/saved.ztr]:-gone} ${was[files/saved.zix]:-gone}" ||
       $pair == "${will[files/saved.ztr]:-gone} ${will[files/saved.zix]:-gone}" || $pair == "gone gone" ]]
}
finish() {  # no file left in prog/temp, then the count of failures
    expect_eq "files left in prog/temp" "$(temp_files)" 0
    ((failures == 0)) && echo "all passed" && exit 0; echo "$failures failure(s)" && exit 1
}
