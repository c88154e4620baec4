#!/usr/bin/env bash
# Saved results: --save, --export, view, delete-results; the pair's bytes, the export's block, append,
# overwrite and their questions, where names land, unwritable output, control characters on a terminal.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
hex() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }  # FILE FROM COUNT
# block FIND FROM OPTIONS CHECKED FOUND LINES...: the export of one search; OPTIONS holds u (Use All),
# s (Suppress Permutations), the minimum word length, e (each word once), l (stoplist) for those on.
block() {
    local stars=$(printf '*%.0s' {1..60}) o=$3 len=any
    is() { [[ $o == *$1* ]] || printf ' Not'; }
    [[ $o =~ [0-9] ]] && len=${BASH_REMATCH[0]}
    printf '%s\n\nResults from Zantric Search\n\nFind Field: %s\nFrom Field: %s\nInclude Field: \nExclude Field: \n' "$stars" "$1" "$2"
    printf '\nUse All Source%s Selected\n\nSuppress Permutations%s Selected\nMinimum Word Length: %s\n' "$(is u)" "$(is s)" $len
    printf 'Each Word Once%s Selected\nStoplist%s Selected\n' "$(is e)" "$(is l)"
    printf 'Words Checked: %9d\nWords Found: %9d\n\n%s\n\n' "$4" "$5" "$stars"
    printf '%s\n' "${@:6}"
}
printf '%s\n' act cat tac dog coats ascot tacos > words.txt
run --yes make words.txt test && run select test || fail "make test"
# NAME lands in prog/files, an export FILE in the working folder as FILE.txt; the pair's bytes.
run search '???' --from tca --save three --export exported
expect_eq "search" "$status $(tr '\n' ' ' <out.txt)" "0 act cat tac "; checked=$(sed -n 's/^Checked: //p' err.txt)
[[ -f prog/files/three.zix && -f exported.txt && ! -e prog/exported.txt && ! -e exported ]] || fail "files: $(ls -R)"
mv exported.txt out.asc  # an .asc export is written and appended to as named, below
three=prog/files/three.ztr
expect_eq "pair" "$(stat -c %s $three) $(hex $three 0 8) $(od -An -tu4 -j 8 -N 4 $three | tr -d ' ')" \
    "356 b1 59 00 00 03 00 00 00 $checked"
expect_eq "header" "$(hex $three 12 6) $(hex $three 56 4) $(hex $three 342 2)" "03 00 3f 3f 3f 00 74 63 61 00 01 00"
expect_eq "lines, index" "$(tail -c 12 $three | tr '\n' ' ')$(od -An -tu4 prog/files/three.zix | tr -s ' \n' ' ')" \
    "act cat tac  344 348 352 356 "
block '???' tca u "$checked" 3 act cat tac > expected.asc
cmp -s out.asc expected.asc || fail "export: $(diff out.asc expected.asc)"
# The export records every filter of a phrase search too.
printf 'tac\n' > stop.txt
run search '* *' --from tacdog --no-use-all --min-word-length 3 --no-repeated-words --stoplist stop.txt --export phrase
mapfile -t phrases <out.txt
block '* *' tacdog 3el "$(sed -n 's/^Checked: //p' err.txt)" ${#phrases[@]} "${phrases[@]}" > expected.txt
((${#phrases[@]} > 0)) && cmp -s phrase.txt expected.txt || fail "phrase export: $(diff phrase.txt expected.txt)"
view="Find: ???,From: tca,Include: ,Exclude: ,Use All FROM Letters: yes,Suppress Permutations: no,Found: 3,Checked: $checked,act,cat,tac,"
table <<EOF
view three|0||$view
view three.ztr|0||$view
view prog/files/three|0||$view
EOF
# A Checked count too large for its field is kept as 2,147,483,647, never wrapped below zero.
for row in 'ff ff ff 7f|at least 2147483647' 'ff ff ff ff|at least 2147483647' '05 00 00 80|at least 2147483647' \
    'fe ff ff 7f|2147483646' '00 00 00 00|0'; do
    cp $three prog/files/big.ztr && cp prog/files/three.zix prog/files/big.zix && field=${row%|*}
    printf "\\x${field// /\\x}" | dd of=prog/files/big.ztr bs=1 seek=8 conv=notrunc status=none && run view big
    expect_eq "view of Checked $field" "$(sed -n 8p out.txt)" "Checked: ${row#*|}"
done
# Every command that prints says why it cannot, and ends with status 1.
[[ ! -w /dev/full ]] || out=/dev/full table < <(for args in "search ??? --from tca" "view three" list "details test" \
    "find-word cat" "--yes make words.txt again" --version "words prog/lexicons/test.lex"; do
    echo "$args|1|Unable to write the output: No space left on device"; done)
# Saving or exporting over a file asks (No without a terminal, --yes anywhere is Yes), --append
# does not; usage errors run nothing; folders are the working folder's; delete-results only pairs.
mkdir sub && printf 'not results' > prog/files/bogus.ztr && printf 'xxxx' > prog/files/bogus.zix
# A folder on another file system (the temporary folder or /dev/shm): the saved pair is copied there.
for other in /dev/shm /tmp "$dir"; do [[ $(stat -c %d "$other") != $(stat -c %d "$dir") || $other == "$dir" ]] && break; done
other=$(mktemp -d -p "$other") && trap 'rm -rf "$dir" "$other"' EXIT
table <<EOF
search 'c?t' --no-use-all --save three|1|Warning: $dir/prog/files/three.ztr&Do you wish to overwrite? (Y/N)
view three|0|Found: 3
search 'c?t' --no-use-all --save three.ztr --yes|0|
view three --export out.asc|1|Warning: $dir/out.asc already exists&Do you wish to overwrite or append to the end of this file?
search 'x??' --no-use-all --save none --export none|1|zantric-cli: no matches, so nothing was saved
search '???' --from tca --append|2|
search '???' --from tca --save notes.txt|2|
search '???' --from tca --export x.ztr|2|
search '???' --from tca --save sub/mine --export sub/mine.txt|0|
view ../$(basename "$dir")/sub/mine|0|Find: ???
search '???' --from tca --save $other/moved|0|
view $other/moved|0|Found: 3
delete-results bogus|1|
EOF
[[ -e x.ztr || -e none.txt || -e prog/files/none.ztr || -e prog/files/notes.txt ]] &&
    fail "files written without a search to save"
[[ -f sub/mine.ztr && -f sub/mine.zix && -f sub/mine.txt && -f prog/files/bogus.ztr && -f prog/files/bogus.zix ]] ||
    fail "files: $(ls -R)"
expect_eq "moved pair" "$(ls "$other" | xargs)" "moved.zix moved.ztr"
cmp -s out.asc expected.asc || fail "export changed after Cancel"
run view three; expect_eq "saved over" "$(sed -n '1p;5p;7p;9,$p' out.txt)" "$(printf '%s\n' 'Find: c?t' 'Use All FROM Letters: no' 'Found: 1' cat)"
checked_cat=$(sed -n 's/^Checked: //p' out.txt)
run view three --export out.asc --append; expect_eq "append" "$status $(grep -c 'already exists' err.txt)" "0 0"
block 'c?t' '' '' "$checked_cat" 1 cat >> expected.asc && cmp -s out.asc expected.asc || fail "append: $(diff out.asc expected.asc)"
run --yes view three --export out.asc; block 'c?t' '' '' "$checked_cat" 1 cat > expected.asc
cmp -s out.asc expected.asc || fail "overwrite: $(diff out.asc expected.asc)"
table <<EOF
delete-results three|0|
delete-results three|1|File Error.: Unable to Open File: $dir/prog/files/three.ztr
view three|1|
EOF
# Bytes from a file reach a terminal escaped (a match cannot retitle or clear it); piped, unchanged.
u32() { printf "$(printf '\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"; }
line=$'\e]0;title\a\e[2J\x7f'
{ u32 22961; u32 1; u32 0; u32 15; head -c 328 /dev/zero; printf '%s\n' "$line"; } > prog/files/ctl.ztr
{ u32 344; u32 $((344 + ${#line} + 1)); } > prog/files/ctl.zix
run view ctl; expect_eq "piped control characters" "$(tail -n 1 out.txt)" "$line"
if on_tty "$CLI -C prog view ctl"; then
    grep -qF '\x1b]0;title\x07\x1b[2J\x7f' tty.txt || fail "terminal: $(od -c tty.txt | tail -3)"
    grep -q $'\e' tty.txt && fail "a raw ESC reached the terminal"
fi
finish
