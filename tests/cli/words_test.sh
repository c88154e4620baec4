#!/usr/bin/env bash
# End to end through zantric-cli: add-word (a new name makes the dictionary), remove-word with a
# pattern, find-word and delete; their questions, messages and exit statuses, the backups they
# leave, the selection kept, the instance rule, and no rewrite file left behind.
set -u
CLI=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() {  # expect_eq NAME ACTUAL EXPECTED
    [[ "$2" == "$3" ]] || fail "$1: got [$2], expected [$3]"
}
# run ARGS...: runs the program on prog with no terminal to ask; sets $status, out.txt, err.txt.
run() {
    "$CLI" -C prog "$@" >out.txt 2>err.txt </dev/null
    status=$?
}
expect_err() {  # expect_err NAME LINE: err.txt holds that line
    grep -qxF -- "$2" err.txt || fail "$1: stderr lacks [$2]: $(cat err.txt)"
}
words_of() { "$CLI" words "$1" 2>/dev/null | tr '\n' ' '; }

mkdir prog
# A new name asks first; without a terminal or --yes the answer is No and nothing is made.
run add-word bat --dict Mine
expect_eq "declined new dictionary status" "$status" "1"
expect_err "new dictionary question" "New Dictionary: Do you wish to create a new dictionary"
[[ ! -e prog/lexicons/mine.lex ]] || fail "declined dictionary was made"

run --yes add-word bat --dict Mine
expect_eq "new dictionary status" "$status" "0"
expect_err "added" "Word Added Successfully"
for w in cot cut cat; do
    run add-word "$w" --dict mine.lex
    expect_eq "add $w" "$status" "0"
done
expect_eq "dictionary order" "$(words_of prog/lexicons/mine.lex)" "bat cat cot cut "
expect_eq "backup of the last add" "$(words_of prog/lexicons/mine.lxb)" "bat cot cut "

run add-word CAT --dict mine
expect_eq "Cat is another word" "$status" "0"
run add-word cat --dict mine
expect_eq "present status" "$status" "1"
expect_err "present message" "Error: mine.lex already contains the word 'cat'"

# Input errors.
run add-word co--op --dict mine
expect_eq "invalid word status" "$status" "1"
expect_err "invalid word" "Incomplete Information: co--op is not a valid Zantric word."
run add-word c?t --dict mine
expect_err "pattern to add" "Incomplete Information: c?t is not a valid Zantric word."
run add-word cat --dict ../elsewhere
expect_eq "name with a folder" "$status" "2"
run remove-word cat --dict nosuch
expect_eq "unknown dictionary status" "$status" "1"
expect_err "unknown dictionary" "Incomplete Information: Zantric does not recognise your chosen dictionary. Please select a dictionary from the drop-down list."
run remove-word emu --dict mine
expect_eq "absent word status" "$status" "1"
expect_err "absent word" "Dictionary Update Failed.: The word to be removed could not be found."

# find-word: exact look-up, one dictionary a line.
run --yes add-word dog --dict other
run add-word cat --dict other
expect_eq "elsewhere declined" "$status" "1"
expect_err "elsewhere question" "Warning: Your word can already be found in:"
run find-word cat
expect_eq "find" "$(cat out.txt)" "mine.lex"
run find-word Cat
expect_eq "find capital" "$(cat out.txt)" "mine.lex"
run find-word dog
expect_eq "find other" "$(cat out.txt)" "other.lex"
run find-word emu
expect_eq "find nothing status" "$status" "1"
expect_err "find nothing" "Your word was not found in any dictionaries."

# The selection survives a change; a pattern removes every word it fits, case counting.
"$CLI" -C prog select mine
run remove-word 'c?t' --dict mine
expect_eq "pattern status" "$status" "0"
expect_err "removed" "Word Removed Successfully"
expect_eq "after pattern" "$(words_of prog/lexicons/mine.lex)" "bat Cat "
expect_eq "backup holds the removed words" "$(words_of prog/lexicons/mine.lxb)" "bat Cat cat cot cut "
expect_eq "selection kept" "$("$CLI" -C prog list 2>/dev/null | grep mine.lex)" "$(printf '\xc2\xbb\tmine.lex\t2')"
run details mine
grep -q '^Modified: ' out.txt || fail "no Modified line after a change: $(cat out.txt)"

# Removing the last word deletes the dictionary; its last version stays as the backup.
run remove-word dog --dict other
expect_eq "last word status" "$status" "0"
[[ ! -e prog/lexicons/other.lex ]] || fail "emptied dictionary still there"
expect_eq "emptied dictionary's backup" "$(words_of prog/lexicons/other.lxb)" "dog "
expect_eq "list without it" "$("$CLI" -C prog list 2>/dev/null | cut -f2)" "mine.lex"

# delete: the question, No by default, then the dictionary retired as .lxb.
run --yes add-word emu --dict third
run delete third
expect_eq "delete declined status" "$status" "1"
expect_err "delete question" "Confirm: If you delete these dictionaries you will permanently lose all access to the words they contain:"
[[ -e prog/lexicons/third.lex ]] || fail "declined delete deleted"
run --yes delete third.lex
expect_eq "delete status" "$status" "0"
expect_err "deleted" "Delete Successful"
[[ ! -e prog/lexicons/third.lex ]] || fail "deleted dictionary still there"
expect_eq "deleted dictionary's backup" "$(words_of prog/lexicons/third.lxb)" "emu "
run --yes delete nosuch
expect_eq "delete unknown status" "$status" "1"

# While another copy runs, nothing may change.
marker="prog/temp/\$\$othercopy.zti"
touch "$marker"
flock -s "$marker" sleep 5 &
holder=$!
sleep 0.5
run --yes add-word gnu --dict mine
expect_eq "second copy status" "$status" "1"
expect_err "second copy" "Warning: Zantric cannot change dictionaries while another copy of Zantric is running."
run --yes delete mine
expect_eq "second copy delete" "$status" "1"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
[[ -e prog/lexicons/mine.lex ]] || fail "deleted while another copy ran"

expect_eq "rewrite files left" "$(find prog -name 'new{}}{*' | wc -l)" "0"
expect_eq "temporary files left" "$(find prog/temp -name '$$*' ! -name '$$othercopy.zti' | wc -l)" "0"

if ((failures)); then
    echo "$failures failed"
    exit 1
fi
echo "words end-to-end: all passed"
