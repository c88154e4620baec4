#!/usr/bin/env bash
# Bad input: NUL, CR LF, bad UTF-8, huge lines, pasted fields, a folder/FIFO/device, no program folder,
# unreadable or unwritable files: valid words, the file's full path, or nothing; no crash, hang or loss.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
# NUL or non-ASCII makes a line invalid; CR LF ends a line; a line that is no word is skipped
# whole, however long; a byte-order mark is skipped. The make says what it stored and skipped.
printf 'cat\0dog\nemu\r\nCaf\xc3\xa9\n\xff\xfe\nyak\r\n\r\nab\x80c\nZebra\n' > mixed.txt
{ head -c 3000000 /dev/zero | tr '\0' 'a'; printf '\nowl\n'; head -c 2000000 /dev/zero | tr '\0' ' '; printf 'ant\n'; } > long.txt
printf '\xef\xbb\xbfgnu\nsupercalifragilisticexpialidocious\n' > bom.txt
printf '\0\0\0\n\xc3\n' > none.txt && table <<EOF
--yes make mixed.txt mixed|0|3 words stored, 5 lines skipped&empty: 1, such as line 6&outside a–z: 4, such as line 1 "cat\\x00dog"
--yes make long.txt long|0|2 words stored, 1 lines skipped&(more than 20 letters): 1, such as line 1 "$(printf 'a%.0s' {1..32})…"
--yes make bom.txt bom|0|1 words stored, 1 lines skipped
--yes make none.txt none|1|contains no valid words&2 lines skipped
EOF
expect_eq "words" "$(words mixed.lex)|$(words long.lex)|$(words bom.lex)|$(temp_files)" "emu yak Zebra |ant owl |gnu |0"
# Search fields as pasted text: characters no keystroke filter lets through.
run select mixed
while IFS='|' read -r find from include exclude; do
    run search "$find" --from "$from" --include "$include" --exclude "$exclude" --no-use-all
    grep -qvE '^[A-Za-z-]+( [A-Za-z-]+)*$' out.txt && fail "search [$find] [$from]: $(cat out.txt)"
done <<'EOF'
c@t|cat||
e\tu|emu||
Zébra|zebra||
*|y a k|é|
???|\x01\x02yak|$|%
!|emu yak?|€|
y 1 k ! ??|zzzz????|a|b
''|''|''|''
*|????????????????????????????????????????????????????????????????????????????????|q|
EOF
run search $'e\tu' --from $'\xff\xfeemu'
# A value that is no whole number in its range, or an empty name, is a usage error saying what is expected.
table <<'EOF'
search emu --limit -5|2|--limit: expected a whole number from 0 to 9223372036854775807
search emu --limit 1e3|2|--limit: expected a whole number from 0 to
search emu --threads abc|2|--threads: expected a whole number from 0 to 64
search '* *' --from emuyak --min-word-length 21|2|--min-word-length: expected a whole number from 1 to 20
search '* *' --from emuyak --no-use-all --min-word-length 20|0|Found: 0
search emu --save ''|2|--save: may not be empty
search emu --export ''|2|--export: may not be empty
search emu --stoplist ''|2|--stoplist: may not be empty
view ''|2|RESULTS: may not be empty
search 'c.t'|1|Your FIND field holds '.', which Zantric does not know.
EOF
table <<<"search $(head -c 5000 /dev/zero | tr '\0' '?')|1|"
# A folder, FIFO or device as a dictionary, stoplist or word list is refused at once and named as
# such; a text file or a cut dictionary is told as what it is; a mistyped program folder makes nothing.
mkdir folder.lex prog/stoplist.txt && mkfifo fifo.lex && runner=(timeout 20)
head -c 100 prog/lexicons/mixed.lex >short.lex && head -c -1 prog/lexicons/mixed.lex >cut.lex
table <<EOF
words folder.lex|1|Unable to open Dictionary: $dir/folder.lex
words fifo.lex|1|Unable to open Dictionary: $dir/fifo.lex
words /dev/zero|1|Unable to open Dictionary: /dev/zero
words mixed.txt|1|zantric-cli: $dir/mixed.txt is a text file, not a Zantric dictionary&!Checked
words short.lex|1|short.lex is a Zantric dictionary cut short (100 bytes)
words cut.lex|1|cut.lex is a Zantric dictionary cut short
search emu --stoplist folder.lex|1|Unable to Open File: $dir/folder.lex (a folder, not a file)
search emu --stoplist fifo.lex|1|Unable to Open File: $dir/fifo.lex (a FIFO, not a file)
search emu --stoplist /dev/null|1|Unable to Open File: /dev/null (a device, not a file)
search '* *' --from emuyak|1|Unable to Open File: $dir/prog/stoplist.txt (a folder, not a file)
stoplist list|1|stoplist.txt (a folder, not a file)
make folder.lex x|1|Unable to Open File: $dir/folder.lex (a folder, not a file)
make /dev/zero x|1|Unable to Open File: /dev/zero (a device, not a file)
EOF
rmdir prog/stoplist.txt
runner=() && folder=$dir/no/such table <<<"list|1|zantric-cli: No such folder: $dir/no/such"
ZANTRIC_HOME="$dir/no/such" "$CLI" list >/dev/null 2>err.txt; expect_err "ZANTRIC_HOME" "zantric-cli: No such folder: $dir/no/such"
[[ ! -e no ]] || fail "missing folder made"
# Without $HOME the folder is under the account's home from the password database (nobody's cannot
# be made), else there is none; either way nothing is made in the current folder. Root only.
if [[ $(id -u) == 0 ]] && mkdir -m 777 here && chmod 755 "$dir"; then
    while IFS='|' read -r user home text; do
        (cd here && env -u ZANTRIC_HOME -u XDG_DATA_HOME $home setpriv --reuid="$user" --regid=nogroup \
            --clear-groups "$CLI" list >/dev/null 2>../err.txt)
        expect_eq "$user: status, made here" "$? $(ls -A here)" "1 " && expect_err "$user" "$text"
    done <<'EOF'
nobody|-u HOME|zantric-cli: cannot use the folder /nonexistent/.local/share/zantric: Permission denied
54321|HOME=|zantric-cli: No home folder: $HOME is unset or empty and the password database has none for this account; name the program folder with -C DIR or $ZANTRIC_HOME
EOF
fi
# File modes, for a user they apply to: root ignores them, so a root run works as nobody.
if [[ $(id -u) == 0 ]]; then
    runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    "${runner[@]}" test -x "$CLI" || { echo "SKIP: file modes: cannot run the program as nobody"; finish; }
    chmod 755 "$dir" && chown -R nobody "$dir/prog" "$dir/mixed.txt"
fi
table <<<"search ??? --from emuyak --no-use-all --save saved|0|"
set -f
while IFS='|' read -r target mode named args; do
    chmod "$mode" "prog/$target" && before=$(snapshot)
    run --yes $args; chmod u+rwx "prog/$target"
    [[ $status != 0 && "$(snapshot)" == "$before" ]] || fail "$args: status $status, or files changed"
    grep -qF -- "$named" err.txt && ! grep -qF '.\' err.txt || fail "$args: $named not named natively: $(cat err.txt)"
done <<'EOF'
../mixed.txt|000|mixed.txt|make mixed.txt fresh
lexicons/mixed.lex|000|mixed.lex|search * --from yak
lexicons/mixed.lex|000|mixed.lex|add-word owl --dict mixed
lexicons/mixed.lex|000|mixed.lex|remove-word emu --dict mixed
lexicons/mixed.lex|000|mixed.lex|merge mixed long --into both
lexicons|555|lexicons|make mixed.txt mixed
lexicons|555|lexicons|add-word owl --dict mixed
temp|555|temp|make mixed.txt fresh
files/saved.ztr|000|saved.ztr|view saved
files|555|other.ztr|search ??? --from emuyak --no-use-all --save other
lexicons/mixed.lex|444|mixed.lex|unselect mixed
EOF
set +f
chmod 444 prog/files/saved.ztr prog/files/saved.zix  # viewing needs no write access
table <<<"view saved|0|Found: 2"
finish
