#!/usr/bin/env bash
# Copies at once: beside a make each changing command refuses and a search runs; two word updates
# and twenty stoplist adds lose nothing; a view beside a save sees a whole pair; searches, a make
# and a view side by side give what they give alone.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
trap 'kill -CONT "${pid:-0}" 2>/dev/null; rm -rf "$dir"' EXIT
printf '%s\n' cat act dog > small.txt
run --yes make small.txt base && run --yes make small.txt other && run select base &&
    run search 'c?t' --from cat --save saved || { echo "FAIL: setting up"; exit 1; }
randoms 5 300000 >big.txt
"$CLI" -C prog --yes make big.txt big >first.out 2>&1 &
pid=$! && wait_for 'prog/temp/*.zti'; kill -STOP "$pid" && before=$(snapshot lexicons files)
table < <(for args in "make small.txt fresh" "make small.txt base" "merge base other --into both" "delete other" \
    "add-word zebra --dict base" "remove-word cat --dict base" "delete-results saved"; do
    echo "--yes $args|1|another copy of Zantric is running"; done)
table <<<"search 'c?t' --from cat|0||cat,"
expect_eq "nothing changed" "$(snapshot lexicons files)" "$before"
kill -CONT "$pid" && wait "$pid" || fail "the first copy ended with $?: $(cat first.out)"
[[ -f prog/lexicons/big.lex ]] || fail "the first copy's dictionary is missing"
expect_eq "no progress line off a terminal" "$(tr -cd '\r' <first.out | wc -c)" "0"
# Two updates started together: one at a time, and every word one says it added is there.
expected=(act cat dog)
for round in a b c d e f; do
    "$CLI" -C prog --yes add-word "ab${round}q" --dict base >/dev/null 2>&1 &
    "$CLI" -C prog --yes add-word "ab${round}x" --dict base >/dev/null 2>&1 && expected+=("ab${round}x")
    sb=$? && wait $! && expected+=("ab${round}q")
    [[ $?$sb == [01][01] && -z "$(find prog/temp -name '*.zti')" ]] || fail "round $round: a status above 1, or a marker stayed"
    expect_eq "round $round" "$(words base.lex | xargs -n1 | sort | xargs)" "$(printf '%s\n' "${expected[@]}" | sort | xargs)"
done
# Twenty stoplist adds at once keep every word, and the file's other lines as they were.
printf '# mine\r\n' >prog/stoplist.txt
for w in {a..t}; do "$CLI" -C prog stoplist add "s${w}x" >/dev/null 2>&1 & done
wait
expect_eq "stoplist adds at once" "$(grep -c $'^s[a-t]x\r$' prog/stoplist.txt) $(head -n 1 prog/stoplist.txt)" $'20 # mine\r'
# Searches, a view and a make side by side, again and again, each give exactly what they give alone.
[[ -r /usr/share/dict/american-english ]] || finish
rm -rf prog && mkdir prog && run --yes make /usr/share/dict/american-english english && run select english &&
    run search 'c?t' --save saved || fail "setting up side by side"
# A view while another copy saves over the same name sees the old pair or the new one (on a disk,
# where the two files of a save take their names furthest apart).
disk=$(mktemp -d -p /var/tmp) && trap 'rm -rf "$dir" "$disk"' EXIT
(while [[ ! -e stop ]]; do
    "$CLI" -C prog --yes search '*' --from painterslodge --no-use-all --save "$disk/same"
    "$CLI" -C prog --yes search 'c?t' --save "$disk/same"
done >/dev/null 2>&1) &
saver=$! mixed=0
for i in $(seq 50); do
    "$CLI" -C prog view "$disk/same" >/dev/null 2>view.err || ! grep -q 'not a Zantric' view.err || mixed=$((mixed + 1))
done
touch stop; wait $saver; expect_eq "views while saving over them: mixed pairs" "$mixed" 0
commands=("search '* * *' --from aeiourstlnc" "search '* *' --from painterslodge" "search '*' --from retains --no-use-all"
          "view saved")
one() { eval "\"\$CLI\" -C prog ${commands[$1]}" >"$2.out" 2>"$2.err" </dev/null; echo "status $?" >>"$2.err"; }  # I NAME
same() { cmp -s "alone$1.out" "$2.out" && cmp -s "alone$1.err" "$2.err" ||
    fail "${commands[$1]} $3: $(diff "alone$1.err" "$2.err" | head -3 | tr '\n' ' ')"; }
for i in 0 1 2 3; do one "$i" alone$i; done
for round in $(seq 10); do
    for copies in 2 3; do
        for ((i = 0; i < copies; i++)); do one "$i" got$i & done
        wait
        for ((i = 0; i < copies; i++)); do same "$i" got$i "round $round, $copies copies"; done
    done
done
run --yes make big.txt alone || fail "a make alone"
"$CLI" -C prog --yes make big.txt beside >made.out 2>&1 &
pid=$!; wait_for 'prog/temp/$$*-tmp{{{.*'
one 0 got0 & one 3 got3
wait $! && wait "$pid" || fail "the make beside a search: $(cat made.out)"
for i in 0 3; do same $i got$i "beside a make"; done
expect_eq "the make beside a search" "$(words beside.lex)" "$(words alone.lex)"
finish
