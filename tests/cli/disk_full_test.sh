#!/usr/bin/env bash
# A full disk: the program's folder on a small memory file system, mounted in a mount namespace
# of this test alone (so no mount outlives it). A make, a merge and a word update that need more
# room than is free fail with a message naming a file, and leave the old dictionary, byte for
# byte, and no temporary file.
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
((status == 0)) && echo "all passed"
exit $status
