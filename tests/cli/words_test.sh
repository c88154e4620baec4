#!/usr/bin/env bash
# Dictionaries: make, list, details, merge, add/remove/find-word, delete; questions, statuses, backups,
# the selection, the dictionary-name rule, permission bits kept, Ctrl-C during a make.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
listing() { "$CLI" -C prog list 2>/dev/null | tr '\t\n' ': '; }
mkdir lists && printf '%s\n' cat bob eel > lists/b.txt
printf '%s\n' '  Apple  ' 'apple pie' 'well-to-do' cat Cat cat dog $'caf\xc3\xa9' '' tacos > lists/a.txt
cd lists && table <<<"make a.txt first|0|!could not find any dictionaries|Dictionary Created Successfully," && cd "$dir"
expect_eq "made" "$(words first.lex)|$(listing)|$(temp_files)" "Cat cat dog Apple tacos | :first.lex:5 |0"
table <<<"words prog/lexicons/first.lex 'c?t'|0|Checked: |Cat,cat," && table <<<"words prog/lexicons/first.lex ''|2|"
# A word list may be a stream: standard input, a pipe, a process substitution; nothing stays in temp.
for list in - /dev/stdin '<(cat lists/b.txt)'; do
    eval "\"\$CLI\" -C prog --yes make $list streamed" <lists/b.txt >out.txt 2>err.txt
    expect_eq "make from $list" "$?|$(words streamed.lex)|$(temp_files)" "0|bob cat eel |0"
done
run --yes delete streamed && rm prog/lexicons/streamed.lxb
# Details: when it was made (24 characters of local time), no Modified line before an update.
run details first
time_text='[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}'
expect_eq "details" "$status $(sed -E "2s/^Created: $time_text\$/Created: (time)/" out.txt | tr '\n' '|')" \
    "0 Information on: first.lex|Created: (time)|Total Words: 5|"
table <<<"select first|0|" && table <<<"search '*' --from tca --no-use-all|0||Cat,cat," && before=$(snapshot)
table <<<'make "$dir/lists/b.txt" first.lex|1|Warning: Dictionary already exists. Overwrite?'
expect_eq "declined remake" "$(snapshot)" "$before"
# Merge: the union, names in any case with or without .lex; --delete-merged keeps the inputs as backups.
table <<'EOF'
make "$dir/lists/b.txt" second|0|
words prog/lexicons/second.lex 'c?t'|0|Checked: 2|cat,
merge FIRST second.lex --into Both|0|Dictionaries Merged Successfully
merge first --into x|1|Incomplete Information: You must name 2 or more dictionaries to merge together.
merge first second|1|You must name the new dictionary: --into NAME.
merge first nothing --into x|1|
--yes merge first second --into both --delete-merged|0|
EOF
expect_eq "merged" "$(words both.lex)|$(listing)|$(ls prog/lexicons | xargs)|$(temp_files)" \
    "bob Cat cat dog eel Apple tacos | :both.lex:7 |both.lex both.lxb first.lxb second.lxb|0"
# A new name asks; a pattern removes what it fits (case counts, a hyphen as in a search), more than one
# word only after a Yes; a last word's removal or delete keeps a .lxb.
table <<'EOF'
add-word bat --dict Mine|1|New Dictionary: Do you wish to create a new dictionary
--yes add-word bat --dict Mine|0|Word Added Successfully
add-word cot --dict mine.lex|0|
add-word cut --dict mine|0|
add-word cat --dict mine|1|Warning: Your word can already be found in:
--yes add-word cat --dict mine|0|
--yes add-word CAT --dict mine|0|
--yes add-word cat --dict mine|1|Error: mine.lex already contains the word 'cat'
add-word co--op --dict mine|1|
add-word '' --dict mine|1|You must give a word: WORD may not be empty.
remove-word emu --dict mine|1|
--yes add-word dog --dict other|0|
find-word dog|0|other.lex
find-word Dog|1|Your word was not found in any dictionaries.
select mine|0|
remove-word 'c?t' --dict mine|2|Confirm: 3 words of mine.lex fit 'c?t'.&answering No
--yes remove-word 'c?t' --dict mine|0|Word Removed Successfully&Words removed from mine.lex: 3
--yes add-word abcdefghij-klmnopqrst --dict other|0|
find-word abcdefghij-klmnopqrst|0|other.lex
remove-word '????????????????????' --dict other|0|Words removed from other.lex: 1
remove-word dog --dict other|0|
--yes add-word emu --dict third|0|
delete third|1|Confirm: If you delete these dictionaries
--yes delete third.lex|0|Delete Successful
--yes delete nosuch|1|
EOF
expect_eq "words, backups" "$(words mine.lex)|$(words mine.lxb)|$(words other.lxb)|$(words third.lxb)" \
    "bat Cat |bat Cat cat cot cut |dog |emu "
expect_eq "selected, deleted" "$(listing | grep -c '»:mine.lex:2 ') $(ls prog/lexicons/{other,third}.lex 2>/dev/null)" "1 "
# Every command takes NAME or NAME.lex as a dictionary name, no other and none too long for a file.
rule='A dictionary name is a file name without a folder; it may end in .lex.' long=$(printf 'a%.0s' $(seq 252))
before=$(snapshot)
table <<EOF
--yes add-word cat --dict ../elsewhere|2|zantric-cli: ../elsewhere: $rule
--yes remove-word cat --dict mine.old|2|zantric-cli: mine.old: $rule
--yes add-word zzqqv -d mine.v2|2|zantric-cli: mine.v2: $rule
--yes select mine.v2|2|zantric-cli: mine.v2: $rule
--yes delete .|2|zantric-cli: .: $rule
--yes add-word cat -d ..|2|zantric-cli: ..: $rule
--yes details ..lex|2|zantric-cli: ..lex: $rule
--yes unselect ""|2|zantric-cli: : $rule
--yes merge mine other.x --into both|2|zantric-cli: other.x: $rule
--yes make lists/b.txt x.old|2|zantric-cli: x.old: $rule
--yes make lists/b.txt $long|2|zantric-cli: $long: A dictionary name is too long: with .lex it must fit in 255 bytes.
EOF
expect_eq "after refused names" "$(snapshot)" "$before"
# A file that takes another's place keeps its permission bits, and its selection.
run --yes make lists/b.txt mode && chmod 640 prog/lexicons/mode.lex && run select mode
# Where no hard link can be made (the first one fails), the backup is a copy of the old file.
if c++ -std=c++17 -O1 -shared -fPIC -o file_faults.so "$HERE/file_faults.cpp" 2>/dev/null; then
    runner=(env ZANTRIC_FAULT_OP=rename ZANTRIC_FAULT_AT=1 ZANTRIC_FAULT_ROOT="$dir/" LD_PRELOAD="$dir/file_faults.so"
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
    table <<<'--yes add-word owl --dict mode|0|!Error' && runner=() && expect_eq "copied backup" "$(words mode.lxb)" "bob cat eel "
fi
table <<<'--yes remove-word owl --dict mode|0|'
for args in "make lists/a.txt mode" "merge mode both --into mode"; do
    run --yes $args; expect_eq "$args: status, selected" "$status $(listing | grep -c '»:mode.lex:')" "0 1"
done
table <<'EOF'
search '???' --from tacos --no-use-all --save kept --export kept|0|
EOF
chmod 600 prog/files/kept.ztr prog/files/kept.zix kept.txt
run --yes search '???' --from tacos --no-use-all --save kept --export kept
expect_eq "modes" "$status $(stat -c %a prog/lexicons/mode.lex prog/files/kept.{ztr,zix} kept.txt | xargs)" "0 640 600 600 600"
expect_eq "rewrite files left" "$(find prog -name 'new{}}{*' | wc -l)" "0"
# A backslash is a character of a name: a program folder, a word list, a dictionaries folder and a
# results file named with one work; an ini of the old form (FILES=.\saved) is read and written back.
mkdir 'old\form' && printf '[PATHS]\nDICTIONARIES=./lex\\icons\nFILES=.\\saved\n' >'old\form/zantric.ini'
printf '%s\n' cat act >'lists/w\1.txt'
folder="$dir/old\\form" table <<'EOF'
--yes make 'lists/w\1.txt' w|0|Dictionary Created Successfully
select w|0|
search '???' --from tca --save 'r\1'|0||act,cat,
view 'r\1'|0|Found: 2
EOF
expect_eq "backslash names" "$(cd 'old\form' && find . -type f | LC_ALL=C sort | tr '\n' ' ')|$(sed -n 2,3p 'old\form/zantric.ini' | tr '\n' ' ')" \
    './lex\icons/w.lex ./saved/r\1.zix ./saved/r\1.ztr ./zantric.ini |DICTIONARIES=./lex\icons FILES=./saved '
# Ctrl-C once the first sorted run is on disk: status 130, no dictionary, no temporary file.
randoms 3 1500000 >big.txt
"$CLI" -C prog make big.txt big >/dev/null 2>&1 &
wait_for 'prog/temp/$$*-tmp{{{.*' && kill -INT $! && wait $!
expect_eq "cancelled make" "$? $(ls prog/lexicons/big.lex 2>/dev/null) $(temp_files)" "130  0"
# Accented word lists: the language follows the list's name and folds each word to a-z, `words`
# shows it as the list wrote it, a ranked search reads the word counts of its language, and every
# line that is a word comes back (Debian's wfrench, wngerman, wspanish, witalian; each is skipped
# when it is not installed).
printf '%s\n' élire baratté baratte "aujourd'hui" >accents.txt
table <<'EOF'
--yes make accents.txt fr --language FR|0|2 words stored, 1 lines skipped&an apostrophe: 1
--yes make accents.txt xx --language xx|2|unknown language xx
--yes starter --language xx|2|unknown language xx
--yes make lists/b.txt en|0|
--yes merge fr en --into both|0|
unselect --all|0|
select fr|0|
search '*' --from rÉlié --no-use-all|0|Found: 1|élire,
search 'b*' --from battrea --explain|0||baratte/baratté	left: -,
search 'b*' --from battrea --best 1 --explain --model $HERE/../data/ranking/tiny.lm|0||baratte/baratté	left: -	score: -7.30,
unselect fr|0|
EOF
expect_eq "list" "$("$CLI" -C prog list | grep -E 'fr|en\.|both' | cut -f2-)" \
    "$(printf 'both.lex\t5\tfr\nen.lex\t3\nfr.lex\t2\tfr')"
expect_eq "merged spellings" "$(words both.lex)" "bob cat eel élire baratte/baratté "
declare -A examples=(
    [french]="?l?re|clore,élire,flore, ???????|abattre|abattre,baratte/baratté,barétât,ébattra,rabatte,"
    # With ä as ae, Bände is baende: no anagram of abend.
    [ngerman]="?????|abend|Abend,baden,Bande,"
    [spanish]="?????|acabo|ábaco,acabo,caoba,"
    [italian]="citt?|città,")
for list in french ngerman spanish italian; do
    file=/usr/share/dict/$list
    [[ -r $file ]] || { echo "SKIP: $file is not installed (Debian: w$list)"; continue; }
    run --yes make "$file" "$list"
    skipped=$(sed -n 's/.* words stored, \([0-9]*\) lines skipped/\1/p' err.txt)
    "$CLI" words "prog/lexicons/$list.lex" 2>/dev/null | tr / '\n' | LC_ALL=C sort -u >spelled.txt
    LC_ALL=C sort -u "$file" >lines.txt
    # Every spelling is a line of the list, and every other line was skipped.
    expect_eq "$list round trip" "$(LC_ALL=C comm -23 spelled.txt lines.txt | wc -l) $(LC_ALL=C comm -13 spelled.txt lines.txt | wc -l)" "0 $skipped"
    for example in ${examples[$list]}; do
        IFS='|' read -r pattern from want <<<"$example"
        [[ -n $want ]] || { want=$from from=; }
        expect_eq "$list $pattern ${from:+--from $from}" \
            "$("$CLI" words "prog/lexicons/$list.lex" "$pattern" ${from:+--from "$from"} 2>/dev/null | tr '\n' ,)" "$want"
    done
done
finish
