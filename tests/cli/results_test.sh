#!/usr/bin/env bash
# End to end through zantric-cli: search --save and --export, view (with --export), and
# delete-results; the saved pair's bytes, the text export's exact block, append and overwrite,
# the overwrite questions and --yes, where typed names land with -C, the exit statuses, and
# control characters of a pair escaped on a terminal.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$1
dir=$(realpath "$(mktemp -d)")
trap 'rm -rf "$dir"' EXIT
cd "$dir"
# run ARGS...: runs the program on prog with no terminal to ask; sets $status, out.txt, err.txt.
run() {
    "$CLI" -C prog "$@" >out.txt 2>err.txt </dev/null
    status=$?
}
# The bytes of a file from OFFSET, COUNT of them, as hex pairs.
hex() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }
# The text export of one search: the block of the format, then the match lines.
block() {  # block FIND FROM USEALL(0/1) CHECKED FOUND LINES...
    local stars='************************************************************'
    printf '%s\n\nResults from Zantric Search\n\n' "$stars"
    printf 'Find Field: %s\nFrom Field: %s\nInclude Field: \nExclude Field: \n' "$1" "$2"
    if [[ $3 == 1 ]]; then printf '\nUse All Source Selected\n'; else printf '\n'; fi
    printf '\n'
    printf 'Words Checked: %9d\nWords Found: %9d\n\n' "$4" "$5"
    printf '%s\n\n' "$stars"
    shift 5
    printf '%s\n' "$@"
}

mkdir prog
printf '%s\n' act cat tac dog coats ascot tacos > words.txt
"$CLI" -C prog --yes make words.txt test >/dev/null 2>&1 || fail "make test"
"$CLI" -C prog select test || fail "select test"

# Search, save and export in one go. The bare NAME lands in the files folder of the program's
# folder; the export FILE, typed without a folder, in the folder the command was run in, with
# ".asc" added.
run search '???' --from tca --save three --export out
expect_eq "search status" "$status" "0"
expect_eq "search matches" "$(cat out.txt)" "$(printf '%s\n' act cat tac)"
checked=$(sed -n 's/^Checked: //p' err.txt)
[[ "$checked" =~ ^[0-9]+$ ]] || fail "no Checked count: $(cat err.txt)"
[[ -f prog/files/three.ztr && -f prog/files/three.zix ]] || fail "pair not in the files folder"
[[ -f out.asc && ! -e prog/out.asc && ! -e out ]] || fail "export not at ./out.asc"

# The pair: 344-byte header, the lines, and n + 1 index entries.
expect_eq "data size" "$(stat -c %s prog/files/three.ztr)" "356"
expect_eq "marker, Found" "$(hex prog/files/three.ztr 0 8)" "b1 59 00 00 03 00 00 00"
expect_eq "Checked" "$(od -An -tu4 -j 8 -N 4 prog/files/three.ztr | tr -d ' ')" "$checked"
expect_eq "longest" "$(hex prog/files/three.ztr 12 2)" "03 00"
expect_eq "FIND" "$(hex prog/files/three.ztr 14 4)" "3f 3f 3f 00"
expect_eq "FROM" "$(hex prog/files/three.ztr 56 4)" "74 63 61 00"
expect_eq "options" "$(hex prog/files/three.ztr 342 2)" "01 00"
expect_eq "lines" "$(tail -c 12 prog/files/three.ztr)" "$(printf '%s\n' act cat tac)"
expect_eq "index" "$(od -An -tu4 prog/files/three.zix | tr -s ' \n' ' ')" " 344 348 352 356 "

# The export is exactly the block of the format, then the match lines.
block '???' tca 1 "$checked" 3 act cat tac > expected.asc
cmp -s out.asc expected.asc || fail "export: $(diff out.asc expected.asc)"

# View prints the header fields, one "Label: value" line each, then the matches.
view_three=$(printf '%s\n' 'Find: ???' 'From: tca' 'Include: ' 'Exclude: ' \
    'Use All FROM Letters: yes' 'Suppress Permutations: no' 'Found: 3' "Checked: $checked" \
    act cat tac)
for name in three three.ztr prog/files/three; do
    run view "$name"
    expect_eq "view $name status" "$status" "0"
    expect_eq "view $name" "$(cat out.txt)" "$view_three"
done

# A Checked count too large for its header field is kept there as 2,147,483,647 (a copy that
# counted in 32 bits let it wrap below zero): view says the count is at least that.
for field in 'ff ff ff 7f' 'ff ff ff ff' '05 00 00 80'; do
    cp prog/files/three.ztr prog/files/big.ztr && cp prog/files/three.zix prog/files/big.zix
    printf "\\x${field// /\\x}" | dd of=prog/files/big.ztr bs=1 seek=8 conv=notrunc status=none
    run view big
    expect_eq "view of Checked $field" "$(sed -n 8p out.txt)" "Checked: at least 2147483647"
done

# Output that cannot be written: every command that prints says why and ends with status 1.
if [[ -w /dev/full ]]; then
    set -f
    while IFS='|' read -r what args; do
        # shellcheck disable=SC2086
        "$CLI" -C prog $args >/dev/full 2>err.txt </dev/null
        expect_eq "$what to a full disk: status" "$?" "1"
        expect_err "$what to a full disk" "Unable to write the output: No space left on device"
    done <<'EOF'
search|search ??? --from tca
view|view three
list|list
details|details test
find-word|find-word cat
make|--yes make words.txt again
version|--version
EOF
    "$CLI" words prog/lexicons/test.lex >/dev/full 2>err.txt
    expect_eq "words to a full disk: status" "$?" "1"
    expect_err "words to a full disk" "Unable to write the output: No space left on device"
    set +f
fi

# Saving over a pair asks first: with no terminal the answer is No and the pair stays.
run search 'c?t' --no-use-all --save three
expect_eq "save refused status" "$status" "1"
expect_err "save question" "Warning: $dir/prog/files/three.ztr"
expect_err "save question" 'Do you wish to overwrite? (Y/N)'
run view three
expect_eq "pair kept" "$(cat out.txt)" "$view_three"
# --yes answers Yes (and may follow the command).
run search 'c?t' --no-use-all --save three.ztr --yes
expect_eq "save over status" "$status" "0"
run view three
expect_eq "saved over" "$(sed -n '1p;5p;7p;9,$p' out.txt)" \
    "$(printf '%s\n' 'Find: c?t' 'Use All FROM Letters: no' 'Found: 1' cat)"
checked_cat=$(sed -n 's/^Checked: //p' out.txt)

# An existing export: without --append the three-button question is asked; with no terminal it
# is Cancel and the file stays.
run view three --export out.asc
expect_eq "export cancelled status" "$status" "1"
expect_err "export question" "Warning: $dir/out.asc already exists"
expect_err "export question" "Do you wish to overwrite or append to the end of this file?"
cmp -s out.asc expected.asc || fail "export changed after Cancel"
# --append adds a complete second block, without asking.
run view three --export out.asc --append
expect_eq "append status" "$status" "0"
grep -q 'already exists' err.txt && fail "append asked: $(cat err.txt)"
block 'c?t' '' 0 "$checked_cat" 1 cat >> expected.asc
cmp -s out.asc expected.asc || fail "append: $(diff out.asc expected.asc)"
expect_eq "asterisk lines" "$(grep -c '^\*\{60\}$' out.asc)" "4"
# --yes answers Overwrite.
run --yes view three --export out.asc
expect_eq "overwrite status" "$status" "0"
block 'c?t' '' 0 "$checked_cat" 1 cat > expected.asc
cmp -s out.asc expected.asc || fail "overwrite: $(diff out.asc expected.asc)"

# Typed paths with a folder are relative to where the command runs, even with -C.
mkdir sub
(cd sub && "$CLI" -C ../prog search '???' --from tca --save ./mine --export ../mine.txt \
    >/dev/null 2>&1) || fail "search from sub"
[[ -f sub/mine.ztr && -f sub/mine.zix && -f mine.txt ]] || fail "typed paths: $(ls -R)"
cmp -s sub/mine.ztr prog/files/three.ztr && fail "mine.ztr should hold the ??? search"
run view ../"$(basename "$dir")"/sub/mine
expect_eq "view by path" "$(tail -n 3 out.txt)" "$(printf '%s\n' act cat tac)"

# Nothing to save when nothing was found.
run search 'x??' --no-use-all --save none --export none
expect_eq "no matches status" "$status" "1"
expect_err "no matches" "zantric-cli: no matches, so nothing was saved"
[[ -e prog/files/none.ztr || -e none.asc ]] && fail "files written for no matches"

# Usage errors: nothing runs.
run search '???' --from tca --append
expect_eq "--append without --export" "$status" "2"
run search '???' --from tca --save notes.txt
expect_eq "--save of a text name" "$status" "2"
run search '???' --from tca --export x.ztr
expect_eq "--export of a results name" "$status" "2"
[[ -e x.ztr || -e prog/files/notes.txt ]] && fail "files written on usage errors"

# delete-results deletes both files of a pair; a second time there is nothing to open.
run delete-results three
expect_eq "delete status" "$status" "0"
[[ -e prog/files/three.ztr || -e prog/files/three.zix ]] && fail "pair left after delete"
run delete-results three
expect_eq "delete again status" "$status" "1"
expect_err "delete again" "File Error.: Unable to Open File: $dir/prog/files/three.ztr"
run view three
expect_eq "view deleted status" "$status" "1"
# A file that is not a results file is not deleted.
printf 'not results' > prog/files/bogus.ztr
printf 'xxxx' > prog/files/bogus.zix
run delete-results bogus
expect_eq "delete bogus status" "$status" "1"
[[ -f prog/files/bogus.ztr && -f prog/files/bogus.zix ]] || fail "bogus pair deleted"

# Bytes read from a file reach a terminal escaped, so that a match cannot retitle or clear it;
# piped output stays byte for byte.
u32() { printf "$(printf '\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"; }
line=$'\e]0;title\a\e[2J\x7f'
{ u32 22961; u32 1; u32 0; u32 15; head -c 328 /dev/zero; printf '%s\n' "$line"; } > prog/files/ctl.ztr
{ u32 344; u32 $((344 + ${#line} + 1)); } > prog/files/ctl.zix
run view ctl
expect_eq "piped control characters" "$(tail -n 1 out.txt)" "$line"
if command -v script >/dev/null; then
    script -qec "$CLI -C prog view ctl" /dev/null > tty.txt 2>&1
    grep -qF '\x1b]0;title\x07\x1b[2J\x7f' tty.txt || fail "terminal: $(od -c tty.txt | tail -3)"
    grep -q $'\e' tty.txt && fail "a raw ESC reached the terminal"
fi

# No temporary file outlives a command.
expect_eq "temporary files left" "$(find prog/temp -name '$$*' | wc -l)" "0"

finish
