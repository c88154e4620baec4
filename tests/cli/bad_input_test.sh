#!/usr/bin/env bash
# Bad input end to end through zantric-cli: word lists with NUL bytes, CR LF line ends, invalid
# UTF-8 and multi-megabyte lines; search fields holding characters the window's keystroke
# filters refuse (pasted text); a folder, a FIFO or a device where a file should be, and a
# program folder that is not there; and, as a user the file modes apply to, files and folders
# that cannot be read or written (and a read-only saved pair, which can still be viewed). Each
# ends with the valid words, a message naming the file by its full path, or no matches; never a
# crash, a hang, or a changed or lost dictionary.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$(realpath "$1")
dir=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
run() {  # run ARGS...: sets $status, out.txt and err.txt
    "$CLI" -C prog --yes "$@" >out.txt 2>err.txt </dev/null
    status=$?
    ((status < 128)) || fail "$*: crashed with status $status: $(tail -3 err.txt)"
    ! grep -q 'Sanitizer\|runtime error' err.txt || fail "$*: $(grep -m1 'Sanitizer\|runtime error' err.txt)"
}
words() { "$CLI" words "prog/lexicons/$1.lex" 2>/dev/null | tr '\n' ' '; }

# Word lists. A NUL or a byte outside ASCII makes its line invalid; CR LF ends a line like LF;
# a line longer than 23 characters is read as pieces of 23, each judged as a line (so the last
# piece of a long line of blanks can be a word).
mkdir prog
printf 'cat\0dog\nemu\r\nCaf\xc3\xa9\n\xff\xfe\nyak\r\n\r\nab\x80c\nZebra\n' > mixed.txt
run make mixed.txt mixed
expect_eq "mixed list" "$status" "0"
expect_eq "mixed words" "$(words mixed)" "emu yak Zebra "
{ head -c 3000000 /dev/zero | tr '\0' 'a'; printf '\nowl\n'; head -c 2000000 /dev/zero | tr '\0' ' '; printf 'ant\n'; } > long.txt
run make long.txt long
expect_eq "long lines" "$status" "0"
# 3,000,000 letters are 130,434 pieces of 23 and a last piece of 18, which is a word.
expect_eq "long line words" "$(words long)" "ant owl $(printf 'a%.0s' {1..18}) "
printf '\0\0\0\n\xc3\n' > none.txt
run make none.txt none
expect_eq "no valid word" "$status" "1"
grep -q "contains no valid words" err.txt || fail "no valid word: $(cat err.txt)"
[[ -z "$(ls prog/temp)" ]] || fail "temporary files after a list without words: $(ls prog/temp)"

# Search fields as pasted text: characters no keystroke filter lets through.
run select mixed
while IFS='|' read -r find from include exclude; do
    run search "$find" --from "$from" --include "$include" --exclude "$exclude" --no-use-all
    if ((status == 0)); then
        while read -r line; do
            [[ -z "$line" || "$line" =~ ^[A-Za-z-]+( [A-Za-z-]+)*$ ]] ||
                fail "search [$find] [$from]: a match that is no word: [$line]"
        done <out.txt
    fi
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
run search "$(head -c 5000 /dev/zero | tr '\0' '?')"
expect_eq "overlong FIND" "$status" "1"

# Names that are not what they say: a folder, a FIFO or a device under a dictionary's name is
# refused at once, never read without end or waited on; a mistyped program folder makes nothing.
mkdir folder.lex
mkfifo fifo.lex
for target in folder.lex fifo.lex /dev/zero; do
    timeout 20 "$CLI" words "$target" >out.txt 2>err.txt
    expect_eq "words $target" "$?" "1"
    grep -qF "Unable to open Dictionary: $(realpath -s "$target")" err.txt ||
        fail "words $target: $(cat err.txt)"
done
for how in -C ZANTRIC_HOME; do
    if [[ $how == -C ]]; then
        "$CLI" -C "$dir/no/such" list >out.txt 2>err.txt
    else
        ZANTRIC_HOME="$dir/no/such" "$CLI" list >out.txt 2>err.txt
    fi
    expect_eq "$how missing folder" "$?" "1"
    expect_err "$how missing folder" "zantric-cli: No such folder: $dir/no/such"
    [[ ! -e no ]] || fail "$how missing folder: made"
done

# Unreadable and unwritable files and folders, for a user the file modes apply to: root
# ignores them, so a root run works as nobody.
as_user=()
if [[ $(id -u) == 0 ]]; then
    if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null &&
        setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$CLI"; then
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    else
        echo "SKIP: unreadable files: cannot run the program as nobody"
    fi
fi
if [[ $(id -u) != 0 || ${#as_user[@]} -gt 0 ]]; then
    user_run() {  # user_run ARGS...: the program as that user
        "${as_user[@]}" "$CLI" -C "$dir/prog" --yes "$@" >out.txt 2>err.txt </dev/null
        status=$?
        ((status < 128)) || fail "$*: crashed with status $status: $(tail -3 err.txt)"
        ! grep -q 'Sanitizer\|runtime error' err.txt || fail "$*: $(grep -m1 'Sanitizer\|runtime error' err.txt)"
    }
    chmod 755 "$dir"
    [[ ${#as_user[@]} -gt 0 ]] && chown -R nobody "$dir/prog" "$dir/mixed.txt"
    user_run list
    user_run search '???' --from emuyak --no-use-all --save saved
    expect_eq "search as the user" "$status" "0"
    snapshot() { find prog -type f ! -name '*.zti' -exec md5sum {} + 2>/dev/null | LC_ALL=C sort; }
    # Each case: the file or folder whose mode changes, the mode, what the message must hold,
    # and the command.
    set -f
    while IFS='|' read -r what target mode named args; do
        chmod "$mode" "prog/$target"
        before=$(snapshot)
        # shellcheck disable=SC2086
        user_run $args
        chmod u+rwx "prog/$target"
        [[ $status != 0 ]] || fail "$what: succeeded"
        grep -qF -- "$named" err.txt || fail "$what: the message does not name $named: $(cat err.txt)"
        grep -qF -- '.\' err.txt && fail "$what: a path not in the native form: $(cat err.txt)"
        [[ "$(snapshot)" == "$before" ]] || fail "$what: files changed"
    done <<'EOF'
unreadable word list|../mixed.txt|000|mixed.txt|make mixed.txt fresh
unreadable dictionary, search|lexicons/mixed.lex|000|mixed.lex|search * --from yak
unreadable dictionary, add|lexicons/mixed.lex|000|mixed.lex|add-word owl --dict mixed
unreadable dictionary, remove|lexicons/mixed.lex|000|mixed.lex|remove-word emu --dict mixed
unreadable dictionary, merge|lexicons/mixed.lex|000|mixed.lex|merge mixed long --into both
unwritable dictionaries folder, make|lexicons|555|lexicons|make mixed.txt mixed
unwritable dictionaries folder, add|lexicons|555|lexicons|add-word owl --dict mixed
unwritable temporary folder|temp|555|temp|make mixed.txt fresh
unreadable saved results|files/saved.ztr|000|saved.ztr|view saved
unwritable files folder|files|555|other.ztr|search ??? --from emuyak --no-use-all --save other
unwritable dictionary, unselect|lexicons/mixed.lex|444|mixed.lex|unselect mixed
EOF
    set +f
    # Viewing needs no write access.
    chmod 444 prog/files/saved.ztr prog/files/saved.zix
    user_run view saved
    expect_eq "read-only saved pair" "$status" "0"
    expect_eq "read-only saved pair's matches" "$(tail -n 2 out.txt | tr '\n' ' ')" "emu yak "
    chmod 644 prog/files/saved.ztr prog/files/saved.zix
    [[ ${#as_user[@]} -gt 0 ]] && chown -R root "$dir/prog" "$dir/mixed.txt"
fi

finish
