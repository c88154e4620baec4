#!/usr/bin/env bash
# End to end through zantric-cli: a first start, a dictionary made from a word list, searches
# with their matches, Found and Checked, a match limit, input errors, no dictionary selected,
# and the ends that signals and a closed output pipe give a search or a view.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

# A first start in an empty folder writes the ini with its six entries and makes no folder.
mkdir prog
"$CLI" -C prog list >/dev/null 2>&1
expect_eq "ini entries" "$(grep -c = prog/zantric.ini)" "6"
expect_eq "folders after first start" "$(find prog -mindepth 1 -type d | wc -l)" "0"

printf '%s\n' a at do go to act cat cog dog god tag > words.txt
"$CLI" -C prog --yes make words.txt catdog >/dev/null 2>&1 || fail "make catdog"
"$CLI" -C prog select catdog || fail "select"
expect_eq "list" "$("$CLI" -C prog list 2>/dev/null)" "$(printf '\xc2\xbb\tcatdog.lex\t11')"

check() {  # check NAME EXPECTED_LINES FOUND CHECKED -- ARGS...
    local name=$1 lines=$2 found=$3 checked=$4
    shift 5
    local out err
    out=$("$CLI" -C prog search "$@" 2>err.txt)
    err=$(cat err.txt)
    expect_eq "$name: matches" "$out" "$lines"
    expect_eq "$name: found" "$(grep '^Found:' <<<"$err")" "Found: $found"
    [[ -z "$checked" ]] || expect_eq "$name: checked" "$(grep '^Checked:' <<<"$err")" "Checked: $checked"
}
check "two words" "$(printf '%s\n' 'act dog' 'act god' 'cat dog' 'cat god' 'dog act' 'dog cat' 'god act' 'god cat')" 8 40 -- '* *' --from catdog
check "suppressed" "$(printf '%s\n' 'act dog' 'act god' 'cat dog' 'cat god')" 4 28 -- '* *' --from catdog --suppress-permutations
check "fixed first word" "$(printf '%s\n' 'cat dog' 'cat god')" 2 "" -- 'c?t *' --from catdog
check "bang" "$(printf '%s\n' 'cat dog' 'cat god')" 2 "" -- 'cat !' --from catdog
check "single word" "cat" 1 "" -- 'c?t' --no-use-all
check "anagrams" "$(printf '%s\n' act cat)" 2 "" -- '*' --from tca
check "limit" "$(printf '%s\n' 'act dog' 'act god' 'cat dog')" 3 "" -- '* *' --from catdog --limit 3
expect_err "limit" "Stopped after 3 matches."
check "limit above the matches" "$(printf '%s\n' 'act dog' 'act god')" 2 "" -- 'act *' --from catdog --limit 3
grep -q "Stopped" err.txt && fail "a limit the search did not reach: $(cat err.txt)"

# Phrase filters. The stoplist takes words as a word list does (CRT is Crt); a filter that struck
# a word says "Filters on"; saved results and their view and export name the filters.
"$CLI" -C prog stoplist add CRT god 'two words' >out.txt 2>err.txt
expect_eq "stoplist: not a word" "$?" "2"
"$CLI" -C prog stoplist add CRT god >/dev/null || fail "stoplist add"
expect_eq "stoplist list" "$("$CLI" -C prog stoplist list)" "$(printf '%s\n' Crt god)"
check "stoplist in phrases" "$(printf '%s\n' 'act dog' 'cat dog')" 2 "" -- '* *' --from catdog --suppress-permutations
expect_err "stoplist struck" "Filters on"
check "stoplist in words" "$(printf '%s\n' cog dog)" 2 "" -- '?o?' --no-use-all
check "no stoplist" "$(printf '%s\n' cog dog god)" 3 "" -- '?o?' --no-use-all --no-stoplist
grep -q "Filters on" err.txt && fail "no stoplist: Filters on"
check "minimum length" "$(printf '%s\n' 'act dog' 'cat dog')" 2 "" -- '* *' --from catdog --no-use-all --suppress-permutations --min-word-length 3
check "each word once" "$(printf '%s\n' 'a at' 'at a')" 2 "" -- '* *' --from atat --no-use-all --no-repeated-words --save once --export once.txt
view=$("$CLI" -C prog view once 2>/dev/null)
[[ $view == *$'Suppress Permutations: no\nEach Word Once: yes\nStoplist: yes\nFound: 2'* ]] || fail "view of filters: $view"
grep -qxF "Each Word Once Selected" once.txt && grep -qxF "Stoplist Selected" once.txt || fail "export of filters: $(cat once.txt)"
"$CLI" -C prog stoplist remove god Ln >out.txt 2>&1
expect_eq "stoplist remove of a missing word" "$?" "1"
expect_eq "stoplist remove" "$(cat out.txt)" "$(printf '%s\n' 'Removed from the stoplist: god' 'Not in the stoplist: Ln')"
check "explain" "$(printf '%s\t%s\n' a 'left: cg?' at 'left: cg	blanks: t' go 'left: ac	blanks: o' act 'left: g	blanks: t' cat 'left: g	blanks: t' cog 'left: a	blanks: o' tag 'left: c	blanks: t')" 7 "" -- '*' --from 'ca?g' --no-use-all --explain
if command -v script >/dev/null; then  # a terminal escapes what files hold, not the tabs added
    script -qec "$CLI -C prog search '??' --from 'g?' --explain" /dev/null >tty.txt 2>&1
    grep -q $'^go\tleft: -\tblanks: o' tty.txt || fail "explain on a terminal: $(od -c tty.txt | head -3)"
fi

# Temporary files of a search are gone when the command ends.
expect_eq "temporary files left" "$(find prog/temp -name '$$*' | wc -l)" "0"

# Input errors: the message on stderr, no search, status 1.
"$CLI" -C prog search 'abcdefghijklmnopqrstu' >out.txt 2>err.txt
expect_eq "long word status" "$?" "1"
grep -q "^Input Error: Your FIND field contained a pattern for a word exceeding the maximum length supported." err.txt ||
    fail "long word message: $(cat err.txt)"
"$CLI" -C prog search '* *' >out.txt 2>err.txt
grep -q "^Input Error: Multiple Word Searches must contain an entry in the FROM field." err.txt ||
    fail "empty FROM message: $(cat err.txt)"

# No dictionary selected.
"$CLI" -C prog unselect --all
"$CLI" -C prog search 'cat' >out.txt 2>err.txt
expect_eq "no dictionary status" "$?" "1"
grep -q "^No Dictionaries Selected: You do not currently have  a dictionary selected for use." err.txt ||
    fail "no dictionary message: $(cat err.txt)"

# The starter dictionary: named by the hint of an empty folder, made and selected by `starter`,
# which asks before it replaces english.lex.
mkdir empty
if [[ -r /usr/share/dict/words ]]; then
    "$CLI" -C empty list >/dev/null 2>err.txt
    expect_err "starter hint" "No dictionaries yet. Make one from the system word list (/usr/share/dict/words): zantric-cli -C empty starter"
fi
printf '%s\n' a b I CRT hmm cat > starter.txt
"$CLI" -C empty starter starter.txt >/dev/null 2>&1 || fail "starter"
expect_eq "starter list" "$("$CLI" -C empty list 2>/dev/null)" "$(printf '\xc2\xbb\tenglish.lex\t3')"
"$CLI" -C empty starter starter.txt </dev/null >/dev/null 2>err.txt
expect_eq "starter again without --yes" "$?" "1"
expect_err "starter question" "Warning: Dictionary already exists. Overwrite?"
"$CLI" -C empty --yes starter starter.txt >/dev/null 2>&1 || fail "starter --yes"

# Ctrl-C, SIGTERM, SIGHUP and a closed output pipe end a search, and a view, in order: the
# status says which, no temporary file or marker is left, and after Ctrl-C every kept match was
# printed.
if [[ -r /usr/share/dict/american-english ]]; then
    "$CLI" -C prog --yes make /usr/share/dict/american-english english >/dev/null 2>&1 || fail "make english"
    "$CLI" -C prog select english
    "$CLI" -C prog search '* *' --from painterslodge --no-use-all --save many >/dev/null 2>&1 ||
        fail "saving many matches"
    while read -r how status; do
        if [[ $how == pipe || $how == view-pipe ]]; then
            what=(search '!' --from williamshakespe)
            [[ $how == view-pipe ]] && what=(view many)
            "$CLI" -C prog "${what[@]}" 2>err.txt | head -2 >out.txt
            got=${PIPESTATUS[0]}
        elif [[ $how == slow ]]; then
            # Output read by no one for 2 s: Ctrl-C stops the search at once all the same.
            mkfifo slow.fifo
            { sleep 2; cat >out.txt; } <slow.fifo &
            "$CLI" -C prog search '!' --from williamshakespe >slow.fifo 2>err.txt &
            pid=$!
            sleep 0.5
            kill -INT "$pid"
            sleep 0.3
            sizes=$(stat -c %s prog/temp/*.\$\$\$; sleep 0.5; stat -c %s prog/temp/*.\$\$\$)
            expect_eq "$how: the search went on after Ctrl-C" "$(uniq <<<"$sizes" | wc -l)" "1"
            wait "$pid"
            got=$?
            wait
            rm slow.fifo
        else
            "$CLI" -C prog search '!' --from williamshakespe >out.txt 2>err.txt &
            pid=$!
            sleep 0.5
            kill -"$how" "$pid"
            wait "$pid"
            got=$?
        fi
        expect_eq "$how: status" "$got" "$status"
        expect_eq "$how: files left in the temporary folder" "$(find prog/temp -type f | wc -l)" "0"
        [[ $how == INT || $how == slow ]] &&
            expect_eq "$how: kept matches printed" "$(wc -l <out.txt)" "$(sed -n 's/^Found: //p' err.txt)"
    done <<'EOF'
INT 130
slow 130
TERM 143
HUP 129
pipe 141
view-pipe 141
EOF
fi

finish
