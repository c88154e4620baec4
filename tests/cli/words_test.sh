#!/usr/bin/env bash
# End to end through zantric-cli: add-word (a new name makes the dictionary), remove-word with a
# pattern, find-word and delete; questions, exit statuses, backups, the selection kept, the
# instance rule, the one rule for dictionary names, and no rewrite or temporary file left behind.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
# run ARGS...: the program on prog, no terminal to ask; sets $status, out.txt, err.txt.
run() {
    "$CLI" -C prog "$@" >out.txt 2>err.txt </dev/null
    status=$?
}
words_of() { "$CLI" words "prog/lexicons/$1" 2>/dev/null | tr '\n' ' '; }

# A new name asks first; without a terminal or --yes the answer is No and nothing is made.
mkdir prog
run add-word bat --dict Mine
expect_eq "declined new dictionary" "$status" "1"
expect_err "new dictionary question" "New Dictionary: Do you wish to create a new dictionary"
[[ ! -e prog/lexicons/mine.lex ]] || fail "declined dictionary was made"
run --yes add-word bat --dict Mine
expect_eq "new dictionary" "$status" "0"
expect_err "added" "Word Added Successfully"
for w in cot cut cat CAT; do
    run add-word "$w" --dict mine.lex
    expect_eq "add $w" "$status" "0"
done
expect_eq "dictionary order" "$(words_of mine.lex)" "bat Cat cat cot cut "
run add-word cat --dict mine
expect_err "present" "Error: mine.lex already contains the word 'cat'"
run add-word co--op --dict mine
expect_eq "invalid word" "$status" "1"

# One rule for every command that takes a dictionary name: NAME or NAME.lex. Any other extension,
# an empty name, dots only or a folder is refused before any work, as is a name too long for a
# file, and nothing changes.
rule='A dictionary name is a file name without a folder; it may end in .lex.'
too_long='A dictionary name is too long: with .lex it must fit in 255 bytes.'
long=$(printf 'a%.0s' $(seq 252))
printf 'owl\n' > list.txt
snapshot() { find prog -type f -exec md5sum {} + | LC_ALL=C sort; }
before=$(snapshot)
refused() {  # refused NAME MESSAGE ARGS...
    local name=$1 message=$2
    shift 2
    run --yes "$@"
    expect_eq "$1 [$name] status" "$status" "2"
    expect_err "$1 [$name]" "zantric-cli: $name: $message"
}
refused ../elsewhere "$rule" add-word cat --dict ../elsewhere
refused mine.old "$rule" remove-word cat --dict mine.old
refused mine.v2 "$rule" add-word zzqqv -d mine.v2
refused mine.v2 "$rule" select mine.v2
refused . "$rule" delete .
refused .. "$rule" add-word cat -d ..
refused ..lex "$rule" details ..lex
refused "" "$rule" unselect ""
refused other.x "$rule" merge mine other.x --into both
refused x.old "$rule" make list.txt x.old
refused "$long" "$too_long" make list.txt "$long"
expect_eq "after refused names" "$(snapshot)" "$before"
run remove-word emu --dict mine
expect_eq "absent word" "$status" "1"

# find-word: exact look-up, one dictionary a line; status 1 when none holds the word.
run --yes add-word dog --dict other
run find-word dog
expect_eq "find" "$(cat out.txt)" "other.lex"
run find-word Dog
expect_eq "find is exact" "$status" "1"
expect_err "found nowhere" "Your word was not found in any dictionaries."

# A pattern removes every word it fits, case counting; the selection survives the change.
"$CLI" -C prog select mine
run remove-word 'c?t' --dict mine
expect_err "removed" "Word Removed Successfully"
expect_eq "after pattern" "$(words_of mine.lex)" "bat Cat "
expect_eq "backup" "$(words_of mine.lxb)" "bat Cat cat cot cut "
expect_eq "selected" "$("$CLI" -C prog list 2>/dev/null | grep -c $'^\xc2\xbb\tmine.lex\t2$')" "1"

# Removing the last word deletes the dictionary; its last version stays as the backup.
run remove-word dog --dict other
expect_eq "last word" "$status" "0"
[[ ! -e prog/lexicons/other.lex ]] || fail "emptied dictionary still there"
expect_eq "emptied dictionary's backup" "$(words_of other.lxb)" "dog "

# delete: the question, No by default, then the dictionary retired as .lxb.
run --yes add-word emu --dict third
run delete third
expect_eq "delete declined" "$status" "1"
grep -q "^Confirm: If you delete these dictionaries" err.txt || fail "delete question: $(cat err.txt)"
run --yes delete third.lex
expect_err "deleted" "Delete Successful"
[[ ! -e prog/lexicons/third.lex ]] || fail "deleted dictionary still there"
expect_eq "deleted dictionary's backup" "$(words_of third.lxb)" "emu "
run --yes delete nosuch
expect_eq "delete unknown" "$status" "1"

# While another copy runs (its marker locked), nothing may change.
marker="prog/temp/\$\$othercopy.zti"
touch "$marker"
flock -s "$marker" sleep 5 &
holder=$!
sleep 0.5
run --yes add-word gnu --dict mine
expect_eq "add beside another copy" "$status" "1"
grep -q "^Warning: Zantric cannot change dictionaries while another copy" err.txt ||
    fail "another copy: $(cat err.txt)"
run --yes delete mine
expect_eq "delete beside another copy" "$status" "1"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
expect_eq "unchanged beside another copy" "$(words_of mine.lex)" "bat Cat "

expect_eq "rewrite files left" "$(find prog -name 'new{}}{*' | wc -l)" "0"
expect_eq "temporary files left" "$(find prog/temp -name '$$*' ! -name '$$othercopy.zti' | wc -l)" "0"

finish
