#!/usr/bin/env bash
# End to end through zantric-cli: make a dictionary from a word list typed relative to the folder
# the command runs in, list it, show its details, search it, remake it (the overwrite question),
# merge (union, each word once), merge --delete-merged, exit statuses, the permission bits a
# replaced dictionary, results pair or export keeps, and Ctrl-C during a make, which leaves no
# temporary file.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
# run ARGS...: the program on prog with no terminal to ask; sets $status, out.txt, err.txt.
run() {
    "$CLI" -C "$dir/prog" "$@" >"$dir/out.txt" 2>"$dir/err.txt" </dev/null
    status=$?
}
expect_err() {  # expect_err NAME LINE: err.txt holds that line
    grep -qxF -- "$2" "$dir/err.txt" || fail "$1: stderr lacks [$2]: $(cat "$dir/err.txt")"
}
words() { "$CLI" words "prog/lexicons/$1" 2>/dev/null | tr '\n' ' '; }
listing() { "$CLI" -C prog list 2>/dev/null | tr '\t\n' ': '; }
temp_files() { find prog/temp -type f 2>/dev/null | wc -l; }

mkdir prog lists
printf '%s\n' '  Apple  ' 'apple pie' 'well-to-do' cat Cat cat dog $'caf\xc3\xa9' '' tacos > lists/a.txt
printf '%s\n' cat bob eel > lists/b.txt

# The word list is found relative to the folder the command runs in, not the program's folder.
cd lists
run make a.txt first
cd "$dir"
expect_eq "make status" "$status" "0"
expect_eq "make says" "$(cat out.txt)" "Dictionary Created Successfully"
expect_eq "made words" "$(words first.lex)" "Cat cat dog Apple tacos "
expect_eq "list after make" "$(listing)" " :first.lex:5 "
expect_eq "temporary files after make" "$(temp_files)" "0"

# Details: the title, when it was made (24 characters of local time), no Modified line before a
# word update, and the word count.
run details first
expect_eq "details status" "$status" "0"
time_text='[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}'
expect_eq "details" "$(sed -E "2s/^Created: $time_text\$/Created: (time)/" out.txt | tr '\n' '|')" \
    "Information on: first.lex|Created: (time)|Total Words: 5|"

run select first
run search '*' --from tca --no-use-all
expect_eq "search" "$(cat out.txt | tr '\n' ' ')" "Cat cat "

# Remaking asks first; with no terminal the answer is No and nothing changes.
before=$(md5sum <prog/lexicons/first.lex)
run make "$dir/lists/b.txt" first.lex
expect_eq "declined remake status" "$status" "1"
expect_err "remake question" "Warning: Dictionary already exists. Overwrite?"
expect_eq "declined remake keeps" "$(md5sum <prog/lexicons/first.lex)" "$before"

run make "$dir/lists/b.txt" second
expect_eq "second make status" "$status" "0"
run make lists/a.txt 'bad/name'
expect_eq "bad name status" "$status" "2"

# Merge: the union, each word once; names with or without .lex, in any case.
run merge FIRST second.lex --into Both
expect_eq "merge status" "$status" "0"
expect_eq "merge says" "$(cat out.txt)" "Dictionaries Merged Successfully"
expect_eq "merged words" "$(words both.lex)" "bob Cat cat dog eel Apple tacos "
run merge first --into x
expect_eq "merge one status" "$status" "1"
expect_err "merge one" "Incomplete Information: You must select 2 or more dictionaries from the dictionary list to merge together"
run merge first nothing --into x
expect_eq "merge unknown status" "$status" "1"

# --delete-merged: the inputs leave the list and stay as backups.
run --yes merge first second --into both --delete-merged
expect_eq "delete-merged status" "$status" "0"
expect_eq "list after delete-merged" "$(listing)" " :both.lex:7 "
expect_eq "backups" "$(cd prog/lexicons && ls | tr '\n' ' ')" "both.lex both.lxb first.lxb second.lxb "
expect_eq "temporary files after merge" "$(temp_files)" "0"

# A file that takes another's place keeps its permission bits: a dictionary rewritten by
# add-word or remove-word, made or merged over, and a saved pair and an export written over.
run --yes make lists/b.txt mode
chmod 640 prog/lexicons/mode.lex
while read -r args; do
    # shellcheck disable=SC2086
    run --yes $args
    expect_eq "$args: status" "$status" "0"
    expect_eq "$args: mode" "$(stat -c %a prog/lexicons/mode.lex)" "640"
done <<'EOF'
add-word owl --dict mode
remove-word owl --dict mode
make lists/a.txt mode
merge mode both --into mode
EOF
run select mode
run search '???' --from tacos --no-use-all --save kept --export kept
chmod 600 prog/files/kept.ztr prog/files/kept.zix kept.asc
run --yes search '???' --from tacos --no-use-all --save kept --export kept
expect_eq "saved over: status" "$status" "0"
expect_eq "saved over: modes" "$(stat -c %a prog/files/kept.ztr prog/files/kept.zix kept.asc | tr '\n' ' ')" \
    "600 600 600 "

# Ctrl-C during a make: status 130, no dictionary and no temporary file.
awk 'BEGIN { srand(3); for (i = 0; i < 1500000; i++) { w = ""; n = 1 + int(rand() * 9);
     for (j = 0; j < n; j++) w = w sprintf("%c", 97 + int(rand() * 26)); print w } }' >big.txt
"$CLI" -C prog make big.txt big >out.txt 2>err.txt &
pid=$!
# Interrupted once the first sorted run is on disk, well before the dictionary can be complete.
for _ in $(seq 500); do
    compgen -G 'prog/temp/$$*-tmp{{{.*' >/dev/null && break
    sleep 0.01
done
kill -INT "$pid"
wait "$pid"
expect_eq "cancelled status" "$?" "130"
expect_eq "no cancelled dictionary" "$(ls prog/lexicons/big.lex 2>/dev/null)" ""
expect_eq "temporary files after cancel" "$(temp_files)" "0"

finish
