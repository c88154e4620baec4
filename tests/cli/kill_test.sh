#!/usr/bin/env bash
# kill -9 at random moments of make, merge, add-word, remove-word on 200,000 words (KILL_ROUNDS in
# KILL_SECONDS, 30, 30): dictionaries old or new byte for byte, backups right, the catalogue one of two.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
wordlist=/usr/share/dict/american-english
[[ -r $wordlist ]] || { echo "SKIP: no $wordlist (package wamerican)"; exit 0; }
helper fault_state
# base (the words with endings) selected, other (reversed), both (two words); make writes reversed to base.
awk '{ print; print $0 "s"; print $0 "ed"; print $0 "er"; print $0 "ing"; print $0 "ly" }' "$wordlist" >words.txt
rev words.txt >reversed.txt && printf '%s\n' cog cot >small.txt
table < <(printf '%s|0|\n' "make words.txt base" "make reversed.txt other" "make small.txt both" "select base")
mv prog start && set -f
declare -A commands=([make]="make $dir/reversed.txt base" [merge]="merge base other --into both"
    [add]="add-word zantric --dict base" [remove]="remove-word ca? --dict base")
now_us() { echo $(($(date +%s%N) / 1000)); }
killed() {  # killed OP MICROSECONDS: runs OP on a fresh prog, killed after that long (-1: never)
    rm -rf prog && cp -a start prog && local limit=()
    # --foreground: timeout signals the program alone and waits for it to end; otherwise the KILL
    # also ends timeout at once, and the next start may find the killed copy still exiting.
    (($2 < 0)) || limit=(timeout --foreground -s KILL "$(printf '%d.%06d' $(($2 / 1000000)) $(($2 % 1000000)))")
    { "${limit[@]}" "$CLI" -C prog --yes ${commands[$1]} >/dev/null 2>&1 </dev/null; } 2>/dev/null
}
declare -A old=() new=() took=() tally=()
for op in "${!commands[@]}"; do
    rm -rf prog && cp -a start prog && old[$op]=$(settled)
    start=$(now_us)
    killed "$op" -1 || fail "$op without a kill"
    took[$op]=$(($(now_us) - start))
    new[$op]=$(settled)
    [[ "${old[$op]}" != "${new[$op]}" ]] || fail "$op changes nothing"
done
deadline=$(($(now_us) + ${KILL_SECONDS:-30} * 1000000))
for ((round = 1; round <= ${KILL_ROUNDS:-30} && $(now_us) < deadline; round++)); do
    for op in "${!commands[@]}"; do
        delay=$(((RANDOM * 32768 + RANDOM) % (took[$op] * 5 / 4 + 1)))
        killed "$op" $delay
        status=$? what="$op killed after $delay microseconds"
        ((status == 0 || status == 124 || status == 137)) || fail "$what: status $status"
        now=$(settled)
        [[ "$now" == *"leftovers:" ]] || fail "$what: after the next start: ${now##*leftovers:}"
        acceptable "${old[$op]}" "${new[$op]}" "$now" kill ||
            fail "$what: neither the old nor the new state: $(diff <(echo "${old[$op]}") <(echo "$now") | grep '^[<>]' | head -6 | tr '\n' ' ')"
        [[ "$now" == "${old[$op]}" ]] && tally[$op]+=o || { [[ "$now" == "${new[$op]}" ]] && tally[$op]+=n || tally[$op]+=b; }
    done
done
for op in "${!commands[@]}"; do
    t=${tally[$op]:-} && o=${t//[^o]/} n=${t//[^n]/} b=${t//[^b]/}
    echo "$op ($((took[$op] / 1000)) ms): of ${#t} kills ${#o} left the old state, ${#n} the new, ${#b} one between"
done
finish
