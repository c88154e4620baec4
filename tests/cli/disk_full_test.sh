#!/usr/bin/env bash
# A full disk (a small file system in a mount namespace): a change fails naming a file, leaving the old
# files byte for byte; a search stops before the disk is full and prints what it kept, or never starts.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
# Root makes the namespace itself; another user maps itself to root in a user namespace.
namespace=(unshare $([[ $(id -u) == 0 ]] || echo -r) -m --propagation private)
"${namespace[@]}" mount -t tmpfs -o size=64k tmpfs prog 2>/dev/null ||
    { echo "SKIP: cannot mount a small file system here (no mount namespace)"; exit 0; }
# inside SIZE FOLDER FUNCTION: FUNCTION on prog, a file system of SIZE with FOLDER's dictionaries.
export CLI dir && export -f fail expect_eq expect_err sane run snapshot
inside() {
    "${namespace[@]}" bash -c 'mount -t tmpfs -o "size=$0" tmpfs prog && mkdir prog/lexicons prog/temp prog/files &&
        cp "$1"/lexicons/*.lex "$1"/zantric.ini prog/ && mv prog/*.lex prog/lexicons/ || exit 1
        failures=0; set -f; "$2"; umount prog; exit $((failures > 0))' "$@"
}
# Two dictionaries of about 56 KiB each and room for 40 KiB more: less than any change below needs.
mkdir made && randoms 11 60000 | awk 'length >= 3' >big.txt && head -n 12000 big.txt >a.txt && sed -n '12001,24000p' big.txt >b.txt
"$CLI" -C made make a.txt a >/dev/null 2>&1 && "$CLI" -C made make b.txt b >/dev/null 2>&1 || fail "making the dictionaries"
changes() {
    for args in "make big.txt a" "make big.txt c" "merge a b --into c" "merge a b --into a" \
        "add-word zzzzz --dict a" "remove-word a?? --dict b"; do
        before=$(snapshot)
        run --yes $args; expect_eq "$args: status" "$status" "1"
        grep -q "No space left on device: $dir/prog\(/temp\|/lexicons\)\?\$" err.txt && ! grep -q '\$\$\|{{{' err.txt ||
            fail "$args: no full folder named: $(cat err.txt)"
        "$CLI" -C prog list >/dev/null 2>&1
        [[ "$(snapshot)" == "$before" ]] || fail "$args: files changed: $(diff <(echo "$before") <(snapshot) | head -5)"
    done
}
# Searches on a 10 MiB disk (5 % kept back), free: the search stops near that reserve, never past it;
# then filled to just above it: nearly full at once. A search that only prints writes nothing there.
searches() {
    for fill in 0 1; do
        ((fill)) && head -c $(($(df -k prog | awk 'NR == 2 { print $4 }') * 1024 - (520 << 10))) /dev/zero >prog/filler
        room=$(df -B1 prog | awk 'NR == 2 { print $4 - int($2 / 100) * 5 }')
        run search '* *' --from painterslodge --no-use-all --save kept
        expect_eq "fill $fill: status" "$status" "3"
        kept=$(sed -n 's/^Found: //p' err.txt)
        expect_err "fill $fill" "Warning: The disk is nearly full: Zantric stopped the search and kept the first ${kept:-0} matches."
        ! grep -q 'Unable to' err.txt || fail "fill $fill: $(cat err.txt)"
        written=$(($(wc -c <out.txt) + 4 * ${kept:-0}))  # the match lines and their index
        ((fill == 0 && written <= room && written > room - (1 << 20) || fill && kept == 0)) ||
            fail "fill $fill: ${kept:-no} matches kept, $written bytes of $room above the reserve"
        cmp -s out.txt <(head -n "${kept:-0}" all.txt) || fail "fill $fill: not the first $kept matches"
        [[ -z "$(ls prog/temp)" ]] || fail "fill $fill: left in temp: $(ls prog/temp)"
    done
    run search '* *' --from painterslodge --no-use-all; expect_eq "printed only: status" "$status" "0"
    cmp -s out.txt all.txt || fail "printed only: not every match"
}
# A small disk with room for a small search and its saved pair, not for an export of a larger pair:
# the export fails part way and leaves no part of it; an appended one is cut back to where it began.
exports() {
    run search '???' --no-use-all --save three; expect_eq "small search: status" "$status" "0"
    echo earlier >prog/files/old.txt
    while IFS='|' read -r args left; do
        run --yes view "$dir/all" --export prog/files/$args
        expect_eq "export $args: status, files" "$status $(ls prog/files | xargs) $(cat prog/files/old.txt 2>/dev/null || echo gone)" "1 $left"
        expect_err "export $args" "File Error.: Unable to write file: $dir/prog/files/${args% *}"
    done <<'EOF'
new.txt|old.txt three.zix three.ztr earlier
old.txt --append|old.txt three.zix three.ztr earlier
old.txt|three.zix three.ztr gone
EOF
}
export -f changes searches exports
inside 160k made changes || fail "a full disk"
"$CLI" -C made select a b && "$CLI" -C made search '*' --no-use-all --save "$dir/all" >/dev/null 2>&1 || fail "saving all words"
inside 256k made exports || fail "exports on a small disk"
if [[ -r /usr/share/dict/american-english ]] && mkdir searches; then
    "$CLI" -C searches --yes make /usr/share/dict/american-english english >/dev/null 2>&1 &&
        "$CLI" -C searches select english &&
        "$CLI" -C searches search '* *' --from painterslodge --no-use-all >all.txt 2>/dev/null ||
        fail "setting up the searches"
    inside 10m searches searches || fail "searches on a full disk"
fi
finish
