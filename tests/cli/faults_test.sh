#!/usr/bin/env bash
# The N-th file operation (file_faults.cpp) of every change, save, export and first start fails once,
# from then on, or is killed (every FAULTS_STEP-th N, 8 under a sanitizer): the files are then old or
# new byte for byte, the catalogue lists them, a failure names a file, the next start leaves no temp file.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
helper file_faults.so -shared -fPIC && helper fault_state
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"  # preloaded before it
step=${FAULTS_STEP:-1}
[[ -z "${FAULTS_STEP:-}" ]] && ldd "$CLI" 2>/dev/null | grep -q 'lib[at]san' && step=8
# Every run starts from: base (selected), other and both, a saved pair, an earlier export.
printf '%s\n' cat act tac dog god coats ascot tacos > a.txt && printf '%s\n' cat zebra yak emu gnu ant > b.txt
printf '%s\n' cog cot > c.txt
table < <(printf '%s|0|\n' "make a.txt base" "make b.txt other" "make c.txt both" "select base" \
    "search 'c?t' --from tacos --no-use-all --save saved")
mv prog start && echo "an earlier export" > start.asc
# Each operation|where its faults start (saving and exporting follow a search and a view).
declare -A commands=([make]="make $dir/b.txt base" [merge]="merge base other --into both"
    [add]="add-word zebra --dict base" [remove]="remove-word cat --dict base"
    [save]="search ??? --from tacos --no-use-all --save saved|.zsd"
    [export]="view saved --export $dir/out.asc|out.asc" [ini]="list")
fresh() { rm -rf prog out.asc && cp -a start prog && cp start.asc out.asc && [[ $op != ini ]] || rm prog/zantric.ini; }
faulty() {  # faulty KIND N MODE: on a fresh prog, the operation with one fault point set (bash's
    fresh && rm -f log.txt && set -f  # note of a kill lands in err.txt)
    { ZANTRIC_FAULT_OP=$1 ZANTRIC_FAULT_AT=$2 ZANTRIC_FAULT_MODE=$3 ZANTRIC_FAULT_LOG=$dir/log.txt \
        ZANTRIC_FAULT_ROOT=$dir/ ZANTRIC_FAULT_FROM=${commands[$op]#*|} LD_PRELOAD=$dir/file_faults.so \
        "$CLI" -C prog --yes ${commands[$op]%|*} >out.txt </dev/null; } 2>err.txt
    status=$? && set +f
}
total=0
for op in make merge add remove save export ini; do
    [[ ${commands[$op]} == *'|'* ]] || commands[$op]+='|'
    fresh
    [[ $op == ini ]] && old=$(./fault_state prog) || old=$(settled)
    faulty none 0 once
    ((status == 0)) || fail "$op without faults: $(cat err.txt)"
    [[ $op == ini ]] && cp prog/zantric.ini full.ini
    new=$(settled)
    [[ "$old" != "$new" || $op == export ]] || fail "$op changes nothing"
    declare -A counts=([any]=0)
    while read -r _ kind n; do counts[$kind]=$n counts[any]=$((counts[any] + n)); done < <(grep '^count ' log.txt)
    for plan in {open,read,write,sync,rename,remove}:{once,on} any:kill; do
        kind=${plan%:*} mode=${plan#*:}
        for ((n = 1; n <= ${counts[$kind]:-0}; n += step)); do
            faulty "$kind" "$n" "$mode"
            total=$((total + 1)) what="$op: $mode $kind #$n"
            ((status == 137)) || sane "$what"
            left=$(./fault_state prog | sed -n 's/^leftovers://p')
            [[ $mode != once || $kind == remove || -z "$left" ]] || fail "$what: left$left"
# A failure names a faulted file or one then unusable (a failed read looks like absent words).
            faulted=$(grep -v '^count ' log.txt 2>/dev/null)
            if ((status != 0 && status != 137)) && [[ -n "$faulted" ]]; then
                named=0
                while read -r _ file; do base=${file##*/} && grep -qF -- "${base%.*}" err.txt && named=1; done <<<"$faulted"
                [[ $kind == read ]] && grep -q 'could not be found' err.txt && named=1
                ((named)) || grep -q "\.lex\|\.ztr\|\.zix\|\.zti\|\.tmp\|\\\$\\\$\|tmp{{{\|\.asc\|No space left on device: $dir/prog" err.txt ||
                    fail "$what: failed on ${faulted#* } without naming a file: $(cat err.txt)"
            fi
            # The ini gets each entry in one write: a failed one leaves it out (it reads as default).
            [[ $op != ini || ! -e prog/zantric.ini ]] ||
                [[ -z "$(grep -vxFf full.ini prog/zantric.ini)" && "$(tail -c 1 prog/zantric.ini)" == "" ]] ||
                fail "$what: a damaged zantric.ini: $(tr '\n' '|' <prog/zantric.ini)"
            now=$(settled)
            [[ "$now" == *"leftovers:" ]] || fail "$what: after the next start: ${now##*leftovers:}"
            # A text export that fails leaves no part of itself (unless removing it is what fails).
            [[ $op != export || $status == 0 || $status == 137 || $kind == remove || ! -e out.asc ]] ||
                cmp -s out.asc start.asc || fail "$what: a part of the export left"
            [[ $op == export || $op == ini ]] || acceptable "$old" "$new" "$now" "$mode" ||
                fail "$what: neither the old nor the new state: $(diff <(echo "$old") <(echo "$now") | grep '^[<>]' | head -6 | tr '\n' ' ')"
        done
    done
    echo "$op: ${counts[any]} file operations, each failing once, from then on, killed there"
done
echo "$total runs"
finish
