#!/usr/bin/env bash
# Two copies of zantric-cli at once: while one copy is changing a dictionary, every changing
# command of another copy (make, merge, add-word, remove-word, delete, delete-results) says why
# it refuses and changes nothing; copies started in the same second each keep a marker of their
# own; of two word updates started together, none is lost; and two or three searches, a make and
# a view side by side in one folder each give exactly what they give alone.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$(realpath "$1")
dir=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'kill -CONT "${pid:-0}" 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir"
snapshot() { (cd prog && find lexicons files -type f -exec md5sum {} + | LC_ALL=C sort); }
words() { "$CLI" words "prog/lexicons/$1.lex" 2>/dev/null | tr '\n' ' '; }

mkdir prog
printf '%s\n' cat act dog > small.txt
"$CLI" -C prog --yes make small.txt base >/dev/null 2>&1 &&
    "$CLI" -C prog --yes make small.txt other >/dev/null 2>&1 &&
    "$CLI" -C prog select base >/dev/null 2>&1 &&
    "$CLI" -C prog search 'c?t' --from cat --save saved >/dev/null 2>&1 ||
    { echo "FAIL: setting up"; exit 1; }
awk 'BEGIN { srand(5); for (i = 0; i < 300000; i++) { w = ""; n = 1 + int(rand() * 9);
     for (j = 0; j < n; j++) w = w sprintf("%c", 97 + int(rand() * 26)); print w } }' >big.txt

# The first copy makes a large dictionary and is held still once its marker is there.
"$CLI" -C prog --yes make big.txt big >first.out 2>&1 &
pid=$!
for _ in $(seq 100); do
    [[ -n "$(find prog/temp -name '*.zti' 2>/dev/null)" ]] && break
    sleep 0.05
done
kill -STOP "$pid"
[[ -n "$(find prog/temp -name '*.zti')" ]] || fail "the first copy keeps no marker"
before=$(snapshot)

while IFS='|' read -r what args; do
    # shellcheck disable=SC2086
    "$CLI" -C prog --yes $args >out.txt 2>err.txt </dev/null
    status=$?
    [[ $status == 1 ]] || fail "$what: status $status"
    ! grep -q 'Sanitizer\|runtime error' err.txt || fail "$what: $(grep -m1 'Sanitizer\|runtime error' err.txt)"
    grep -qF -- "another copy of Zantric is running" err.txt ||
        fail "$what: no reason given: $(cat err.txt)"
    [[ "$(snapshot)" == "$before" ]] || fail "$what: changed files"
done <<'EOF'
make|make small.txt fresh
remake|make small.txt base
merge|merge base other --into both
add-word|add-word zebra --dict base
remove-word|remove-word cat --dict base
delete|delete other
delete-results|delete-results saved
EOF
# Reading is allowed meanwhile.
"$CLI" -C prog search 'c?t' --from cat >out.txt 2>/dev/null || fail "search while another copy runs"
[[ "$(cat out.txt)" == cat ]] || fail "search while another copy runs: $(cat out.txt)"

kill -CONT "$pid"
wait "$pid"
status=$?
[[ $status == 0 ]] || fail "the first copy ended with $status: $(cat first.out)"
[[ -f prog/lexicons/big.lex ]] || fail "the first copy's dictionary is missing"

# Copies started together: each has its own marker, so at most one of two updates runs at a
# time, and the words of every update that says it succeeded are in the dictionary.
"$CLI" -C prog --yes delete big >/dev/null 2>&1
expected="act cat dog "
for round in a b c d e f; do
    "$CLI" -C prog --yes add-word "ab${round}q" --dict base >a.out 2>&1 &
    first=$!
    "$CLI" -C prog --yes add-word "ab${round}x" --dict base >b.out 2>&1 &
    second=$!
    wait "$first"; sa=$?
    wait "$second"; sb=$?
    for s in $sa $sb; do [[ $s == 0 || $s == 1 ]] || fail "round $round: status $s"; done
    ((sa == 0)) && expected+="ab${round}q "
    ((sb == 0)) && expected+="ab${round}x "
    got=$(words base | tr ' ' '\n' | grep . | LC_ALL=C sort | tr '\n' ' ')
    want=$(printf '%s' "$expected" | tr ' ' '\n' | grep . | LC_ALL=C sort | tr '\n' ' ')
    [[ "$got" == "$want" ]] || fail "round $round: words [$got], expected [$want]"
    [[ -z "$(find prog/temp -name '*.zti')" ]] || fail "round $round: a marker stayed"
done

# Searches started together in one folder, again and again: each prints, says and returns
# exactly what it does alone (they once shared their temporary files), and a make and a view
# beside a search do too. Nothing of theirs stays in the temporary folder.
if [[ -r /usr/share/dict/american-english ]]; then
    mkdir side
    "$CLI" -C side --yes make /usr/share/dict/american-english english >/dev/null 2>&1 &&
        "$CLI" -C side select english && "$CLI" -C side search 'c?t' --save saved >/dev/null 2>&1 ||
        fail "setting up side by side"
    commands=("search|* * *|--from|aeiourstlnc" "search|* *|--from|painterslodge"
              "search|*|--from|retains|--no-use-all" "view|saved")
    one() {  # one I NAME: runs command I, its output in NAME.out and its stderr and status in NAME.err
        local args
        IFS='|' read -ra args <<<"${commands[$1]}"
        "$CLI" -C side "${args[@]}" >"$2.out" 2>"$2.err" </dev/null
        echo "status $?" >>"$2.err"
    }
    for i in 0 1 2 3; do one "$i" alone$i; done
    wrong=0
    for round in $(seq 10); do
        for copies in 2 3; do
            pids=()
            for ((i = 0; i < copies; i++)); do
                one "$i" got$i &
                pids+=($!)
            done
            wait "${pids[@]}"
            for ((i = 0; i < copies; i++)); do
                if ! cmp -s alone$i.out got$i.out || ! cmp -s alone$i.err got$i.err; then
                    ((wrong++ < 3)) && fail "round $round, $copies copies: ${commands[$i]}: $(diff alone$i.err got$i.err | head -3 | tr '\n' ' ')"
                fi
            done
        done
    done
    expect_eq "rounds of searches side by side that went wrong" "$wrong" "0"
    # A make holds the only marker when it starts; a search and a view then run beside it.
    "$CLI" -C side --yes make big.txt alone >/dev/null 2>&1 || fail "a make alone"
    "$CLI" -C side --yes make big.txt beside >made.out 2>&1 &
    pid=$!
    for _ in $(seq 500); do
        compgen -G 'side/temp/$$*-tmp{{{.*' >/dev/null && break
        sleep 0.01
    done
    one 0 got0 &
    search=$!
    one 3 got3 &
    wait "$search" $!
    wait "$pid" || fail "the make beside a search ended with $?: $(cat made.out)"
    for i in 0 3; do
        cmp -s alone$i.out got$i.out && cmp -s alone$i.err got$i.err ||
            fail "${commands[$i]} beside a make: $(diff alone$i.err got$i.err | head -3 | tr '\n' ' ')"
    done
    expect_eq "the make beside a search" "$(words beside)" "$(words alone)"
    expect_eq "files left in the temporary folder" "$(find side/temp -type f | wc -l)" "0"
fi

finish
