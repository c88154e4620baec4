#!/usr/bin/env bash
# A full disk: the program's folder on a small memory file system, mounted in a mount namespace
# of this test alone (so no mount outlives it). A make, a merge and a word update that need more
# room than is free fail with a message naming a file, and leave the old dictionary, byte for
# byte, and no temporary file. A search stops before the disk is full, keeping and printing the
# matches it found, or does not start when the disk is nearly full already.
set -u
CLI=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

# Two dictionaries of about 56 KiB each, and a word list that compiles to far more than fits.
awk 'BEGIN { srand(11); for (i = 0; i < 60000; i++) { w = ""; n = 3 + int(rand() * 7);
     for (j = 0; j < n; j++) w = w sprintf("%c", 97 + int(rand() * 26)); print w } }' >big.txt
head -n 12000 big.txt >a.txt
sed -n '12001,24000p' big.txt >b.txt
mkdir made
for name in a b; do
    "$CLI" -C made make "$name.txt" "$name" >/dev/null 2>&1 || { echo "FAIL: making $name"; exit 1; }
done

inside() {
    set -u
    mount -t tmpfs -o "size=$SIZE" tmpfs prog || exit 1
    mkdir prog/lexicons prog/temp prog/files
    cp made/lexicons/a.lex made/lexicons/b.lex prog/lexicons/
    cp made/zantric.ini prog/
    failures=0
    fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
    snapshot() { (cd prog && find . -type f ! -name '*.zti' -exec md5sum {} + | LC_ALL=C sort); }
    while IFS='|' read -r what args; do
        before=$(snapshot)
        # shellcheck disable=SC2086
        "$CLI" -C prog --yes $args >out.txt 2>err.txt </dev/null
        status=$?
        [[ $status == 1 ]] || fail "$what: status $status: $(cat err.txt)"
        ! grep -q 'Sanitizer\|runtime error' err.txt || fail "$what: $(grep -m1 'Sanitizer\|runtime error' err.txt)"
        grep -q '\.\(tmp\|lex\|\$\$\$\)\|tmp{{{' err.txt || fail "$what: no file named: $(cat err.txt)"
        "$CLI" -C prog list >/dev/null 2>&1
        [[ "$(snapshot)" == "$before" ]] || fail "$what: files changed: $(diff <(echo "$before") <(snapshot) | head -5)"
    done <<'EOF'
make over a dictionary|make big.txt a
make a new dictionary|make big.txt c
merge into a new dictionary|merge a b --into c
merge over a dictionary|merge a b --into a
add a word|add-word zzzzz --dict a
remove a word|remove-word a?? --dict b
EOF
    echo "free: $(df -k prog | awk 'NR == 2 { print $4 }') KiB"
    umount prog
    exit $((failures > 0))
}
export -f inside
# Room for the two dictionaries (about 56 KiB each) and some 40 KiB more: less than any of the
# operations below needs.
export CLI SIZE=160k
mkdir prog
# Root makes the namespace itself; another user maps itself to root in a user namespace.
namespace=(unshare -m --propagation private)
[[ $(id -u) == 0 ]] || namespace=(unshare -r -m --propagation private)
if ! "${namespace[@]}" mount -t tmpfs -o size=64k tmpfs prog 2>/dev/null; then
    echo "SKIP: cannot mount a small file system here (no mount namespace)"
    exit 0
fi
"${namespace[@]}" bash -c inside
status=$?

# Searches on a 10 MiB disk: the disk keeps 5 % of itself, and room for what is written between
# two looks at it, free.
search_inside() {
    set -u
    mount -t tmpfs -o size=10m tmpfs prog || exit 1
    mkdir prog/lexicons prog/temp prog/files
    cp searches/lexicons/english.lex prog/lexicons/
    cp searches/zantric.ini prog/
    failures=0
    fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
    for fill in 0 1; do
        # Filled up to 6 MiB free: the disk is nearly full before the search starts.
        ((fill)) && head -c $(($(df -k prog | awk 'NR == 2 { print $4 }') * 1024 - (6 << 20))) \
            /dev/zero >prog/filler
        "$CLI" -C prog search '* *' --from painterslodge --no-use-all >out.txt 2>err.txt </dev/null
        status=$?
        kept=$(sed -n 's/^Found: //p' err.txt)
        [[ $status == 3 ]] || fail "fill $fill: status $status: $(cat err.txt)"
        grep -qxF "Warning: The disk is nearly full: Zantric stopped the search and kept the first ${kept:-0} matches." err.txt ||
            fail "fill $fill: no message: $(cat err.txt)"
        ! grep -q 'Unable to\|Sanitizer\|runtime error' err.txt || fail "fill $fill: $(cat err.txt)"
        ((fill)) && [[ -s out.txt ]] && fail "matches printed after no search"
        ((fill)) || (( kept > 100000 )) || fail "fill 0: only ${kept:-no} matches kept"
        cmp -s out.txt <(head -n "${kept:-0}" all.txt) || fail "fill $fill: not the first $kept matches"
        [[ -z "$(ls prog/temp)" ]] || fail "fill $fill: left in temp: $(ls prog/temp)"
    done
    umount prog
    exit $((failures > 0))
}
if [[ -r /usr/share/dict/american-english ]]; then
    export -f search_inside
    mkdir searches
    "$CLI" -C searches --yes make /usr/share/dict/american-english english >/dev/null 2>&1 &&
        "$CLI" -C searches select english &&
        "$CLI" -C searches search '* *' --from painterslodge --no-use-all >all.txt 2>/dev/null ||
        { echo "FAIL: setting up the searches"; status=1; }
    "${namespace[@]}" bash -c search_inside || status=1
fi
((status == 0)) && echo "all passed"
exit $status
