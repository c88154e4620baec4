#!/usr/bin/env bash
# Faults at every file operation, end to end through zantric-cli. For make, merge, add-word,
# remove-word, search --save, view --export and the first start (which writes zantric.ini), the N-th
# open, read, write, flush to disk, rename or remove fails, once and from then on, for N = 1, 2, ...
# until the operation no longer meets a fault; then the program is killed (SIGKILL) at each of its
# file operations in turn (kill_test.sh kills at random moments). After every run: each dictionary
# is the old one or the new one, byte for byte (the header's two times aside), and so is the saved
# pair; the catalogue lists what the files hold; a failure is reported with the name of a file; no
# temporary file is left once the next start has cleaned up, and none at all after a single fault
# that was not a failed deletion.
# The faults come from file_faults.cpp, built here and preloaded. FAULTS_STEP=K tries every K-th
# fault point only; it is 8 for a program built with a sanitizer, whose runs are slower.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

if ! { c++ -std=c++17 -shared -fPIC -O1 -Wall -Wextra -Werror -o faults.so \
           "$here/file_faults.cpp" -ldl &&
       c++ -std=c++17 -O1 -Wall -Wextra -Werror -o fault_state "$here/fault_state.cpp"; } \
       2>build.txt; then
    echo "SKIP: the fault library does not build here: $(cat build.txt)"
    exit 0
fi
# The library comes before a sanitizer's runtime in the load order.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
step=${FAULTS_STEP:-1}
if [[ -z "${FAULTS_STEP:-}" ]] && ldd "$CLI" 2>/dev/null | grep -q 'lib[at]san'; then step=8; fi


# The program's folder every run starts from: dictionaries base, other and both, base selected,
# a saved pair, and an earlier export.
mkdir -p lists start
printf '%s\n' cat act tac dog god coats ascot tacos > lists/a.txt
printf '%s\n' cat zebra yak emu gnu ant > lists/b.txt
printf '%s\n' cog cot > lists/c.txt
"$CLI" -C start make lists/a.txt base >/dev/null 2>&1 &&
    "$CLI" -C start make lists/b.txt other >/dev/null 2>&1 &&
    "$CLI" -C start make lists/c.txt both >/dev/null 2>&1 &&
    "$CLI" -C start select base >/dev/null 2>&1 &&
    "$CLI" -C start search 'c?t' --from tacos --no-use-all --save saved >/dev/null 2>&1 ||
    { echo "FAIL: setting up"; exit 1; }
echo "an earlier export" > start.asc

fresh() {  # fresh [noini]: the starting folder again
    rm -rf prog out.asc
    cp -a start prog
    cp start.asc out.asc
    [[ "${1:-}" != noini ]] || rm prog/zantric.ini
}

# operation NAME: runs it on ./prog, with whatever faults the environment asks for.
operation() {
    command_of "$1"
    "${command[@]}"
}
command_of() {  # command_of NAME: the operation's command line, in the array `command`
    case "$1" in
        make) command=("$CLI" -C prog --yes make "$dir/lists/b.txt" base) ;;
        merge) command=("$CLI" -C prog --yes merge base other --into both) ;;
        add) command=("$CLI" -C prog --yes add-word zebra --dict base) ;;
        remove) command=("$CLI" -C prog --yes remove-word cat --dict base) ;;
        save) command=("$CLI" -C prog --yes search '???' --from tacos --no-use-all --save saved) ;;
        export) command=("$CLI" -C prog --yes view saved --export "$dir/out.asc") ;;
        ini) command=("$CLI" -C prog list) ;;
    esac
}
faulty() {  # faulty OP KIND N MODE: the operation with one fault point set
    rm -f log.txt
    # Saving and exporting are what follows the search or the view: the faults start there.
    local from=""
    [[ $1 == save ]] && from=.zsd
    [[ $1 == export ]] && from=out.asc
    ZANTRIC_FAULT_OP=$2 ZANTRIC_FAULT_AT=$3 ZANTRIC_FAULT_MODE=$4 ZANTRIC_FAULT_LOG=$dir/log.txt \
        ZANTRIC_FAULT_ROOT=$dir/ ZANTRIC_FAULT_FROM=$from LD_PRELOAD=$dir/faults.so \
        operation "$1" >out.txt 2>err.txt </dev/null
}
# The state after the next start, which cleans up and lists the catalogue.
settled() {
    "$CLI" -C prog list 2>&1
    ./fault_state prog
}
# acceptable STATE KILLED: whether a state after a fault is the old one or the new one. A
# dictionary's backup may also be a copy of the dictionary it backs up (kept just before the
# replacement failed); the saved pair may also be gone, and after a kill each of its two files
# may be the old or the new one.
acceptable() {
    [[ "$1" == "$old" || "$1" == "$new" ]] && return 0
    local -A was=() will=() now=()
    local path hash
    while read -r path hash; do was[$path]=$hash; done <<<"$old"
    while read -r path hash; do will[$path]=$hash; done <<<"$new"
    while read -r path hash; do now[$path]=$hash; done <<<"$1"
    # The catalogue's lines: those of one of the two states.
    [[ "$(grep -v '^[a-z]' <<<"$1")" == "$(grep -v '^[a-z]' <<<"$old")" ||
       "$(grep -v '^[a-z]' <<<"$1")" == "$(grep -v '^[a-z]' <<<"$new")" ]] || return 1
    for path in "${!was[@]}" "${!will[@]}" "${!now[@]}"; do
        [[ $path == */* && ($2 == kill || $path != files/saved.*) ]] || continue
        hash=${now[$path]:-gone}
        [[ $hash == "${was[$path]:-gone}" || $hash == "${will[$path]:-gone}" ]] && continue
        [[ $path == *.lxb && $hash == "${was[${path%.lxb}.lex]:-}" ]] && continue
        return 1
    done
    [[ $2 == kill ]] && return 0
    local pair="${now[files/saved.ztr]:-gone} ${now[files/saved.zix]:-gone}"
    [[ $pair == "${was[files/saved.ztr]:-gone} ${was[files/saved.zix]:-gone}" ||
       $pair == "${will[files/saved.ztr]:-gone} ${will[files/saved.zix]:-gone}" ||
       $pair == "gone gone" ]]
}

kinds=(open read write sync rename remove)
total=0
for op in make merge add remove save export ini; do
    setup=""
    [[ $op == ini ]] && setup=noini
    # The states before and after a run without faults, and how many operations of each kind
    # the run makes.
    fresh $setup
    [[ $op == ini ]] && old=$(./fault_state prog) || old=$(settled)
    fresh $setup
    faulty $op none 0 once || fail "$op without faults: $(cat err.txt)"
    [[ $op == ini ]] && cp prog/zantric.ini full.ini
    new=$(settled)
    [[ "$old" != "$new" || $op == export ]] || fail "$op changes nothing"
    declare -A counts=()
    while read -r _ kind n; do counts[$kind]=$n; done < <(grep '^count ' log.txt)
    all=0
    for kind in "${kinds[@]}"; do all=$((all + ${counts[$kind]:-0})); done
    counts[any]=$all

    runs=0
    for plan in "${kinds[@]/%/:once}" "${kinds[@]/%/:on}" any:kill; do
        kind=${plan%:*}
        mode=${plan#*:}
        for ((n = 1; n <= ${counts[$kind]:-0}; n += step)); do
            fresh $setup
            faulty $op "$kind" "$n" "$mode"
            status=$?
            runs=$((runs + 1))
            what="$op: $mode $kind #$n"
            faulted=$(grep -v '^count ' log.txt 2>/dev/null)
            ((status < 128 || status == 137)) || fail "$what: status $status: $(tail -3 err.txt)"
            ! grep -q 'Sanitizer\|runtime error' err.txt || fail "$what: $(grep -m1 'Sanitizer\|runtime error' err.txt)"
            left=$(./fault_state prog | sed -n 's/^leftovers://p')
            if [[ $mode == once && $kind != remove && -n "$left" ]]; then
                fail "$what: left$left"
            fi
            # A failure names a file that met a fault (or, after a fault that cost nothing, that
            # the program then could not use).
            if ((status != 0 && status != 137)) && [[ -n "$faulted" ]]; then
                named=0
                while read -r _ file; do
                    base=${file##*/}
                    grep -qF -- "${base%.*}" err.txt && named=1
                done <<<"$faulted"
                # The reader takes a read error for the end of the words: a word looked up
                # during the fault reads as absent, and the answer is that it is not there.
                grep -q 'could not be found' err.txt && [[ $kind == read ]] && named=1
                ((named)) || grep -q '\.lex\|\.ztr\|\.zix\|\.zti\|\.tmp\|\$\$\|tmp{{{\|\.asc' err.txt ||
                    fail "$what: failed on ${faulted#* } without naming a file: $(cat err.txt)"
            fi
            if [[ $op == ini && -e prog/zantric.ini ]]; then
                # The ini gets its entries one write at a time, each write complete: a write
                # that failed leaves out its entry, which then reads as its default.
                [[ -z "$(grep -vxFf full.ini prog/zantric.ini)" && "$(tail -c 1 prog/zantric.ini)" == "" ]] ||
                    fail "$what: a damaged zantric.ini: $(tr '\n' '|' <prog/zantric.ini)"
            fi
            now=$(settled)
            [[ "$now" == *"leftovers:" ]] || fail "$what: after the next start: ${now##*leftovers:}"
            # A text export may stop part way; the ini was checked above.
            if [[ $op != export && $op != ini ]] && ! acceptable "$now" $mode; then
                fail "$what: neither the old nor the new state: $(diff <(echo "$old") <(echo "$now") | grep '^[<>]' | head -6 | tr '\n' ' ')"
            fi
        done
    done
    echo "$op: ${counts[any]} file operations (${counts[open]} open, ${counts[read]} read," \
         "${counts[write]} write, ${counts[sync]} sync, ${counts[rename]} rename," \
         "${counts[remove]} remove), $runs runs: each failing once, from then on, killed there"
    total=$((total + runs))
    unset counts
done

echo "$total runs"
finish
