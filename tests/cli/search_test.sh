#!/usr/bin/env bash
# Searches: first start, matches, Found, Checked, limit, filters, --explain, errors, starter, signals.
tmp=${TMPDIR:-/tmp} source "$(dirname "$(realpath "$0")")/test_lib.sh"  # gigabytes of matches
# A first start writes the ini with its six entries and makes no folder.
run list; expect_eq "first start" "$(grep -c = prog/zantric.ini) $(find prog -mindepth 1 -type d | wc -l)" "6 0"
printf '%s\n' a at do go to act cat cog dog god tag > words.txt && run --yes make words.txt catdog && run select catdog && run list
expect_eq "list" "$(cat out.txt)" "$(printf '\xc2\xbb\tcatdog.lex\t11')"
table <<'EOF'
search '* *' --from catdog|0|Found: 8&Checked: 40&!Stopped|act dog,act god,cat dog,cat god,dog act,dog cat,god act,god cat,
search '* *' --from catdog --suppress-permutations|0|Found: 4&Checked: 28|act dog,act god,cat dog,cat god,
search 'c?t *' --from catdog|0|Found: 2|cat dog,cat god,
search 'cat !' --from catdog|0|Found: 2|cat dog,cat god,
search 'c?t' --no-use-all|0|Found: 1|cat,
search '*' --from tca|0|Found: 2|act,cat,
search '*' --from Cat --no-use-all|0|Found: 4|a,at,act,cat,
search '* *' --from catdog --limit 3|0|Found: 3&Stopped after 3 matches.|act dog,act god,cat dog,
search 'act *' --from catdog --limit 3|0|Found: 2&!Stopped|act dog,act god,
EOF
# The stoplist reads words as a word list does and strikes them in any case; a struck word means
# "Filters on", saved and exported. A word refused by the stoplist or by add-word is told which
# rule it breaks.
table <<'EOF'
stoplist add CRT god 'two words'|2|"two words" is not a valid Zantric word: characters outside a–z.&A Zantric word has 1 to 20 letters a–z and at most one hyphen, neither first nor last.
add-word abcdefghijklmnopqrstu --dict any|1|Input Error: abcdefghijklmnopqrstu is not a valid Zantric word: too long (more than 20 letters).
stoplist add CRT GOD|0|
stoplist list|0||Crt,God,
search '* *' --from catdog --suppress-permutations|0|Found: 2&Filters on|act dog,cat dog,
search '?o?' --no-use-all|0|Found: 2&Filters on|cog,dog,
search '?o?' --no-use-all --no-stoplist|0|Found: 3&!Filters on|cog,dog,god,
search '* *' --from catdog --no-use-all --suppress-permutations --min-word-length 3|0|Filters on|act dog,cat dog,
search '* *' --from atat --no-use-all --no-repeated-words --save once --export once.txt|0|Found: 2|a at,at a,
view once|0|Suppress Permutations: no&Each Word Once: yes&Stoplist: yes
stoplist remove god Ln|1|Removed from the stoplist: god&Not in the stoplist: Ln
EOF
grep -qxF "Each Word Once Selected" once.txt && grep -qxF "Stoplist Selected" once.txt ||
    fail "export of filters: $(cat once.txt)"
! on_tty "$CLI -C prog search '??' --from 'g?' --explain" ||  # a terminal escapes only what files hold
    grep -q $'^go\tleft: -\tblanks: o' tty.txt || fail "explain on a terminal: $(od -c tty.txt | head -3)"
# Ranked: each set once, best first by the tiny model (docs/ranking.md works the scores out);
# FROM typed as words, or its letters in its order, is no answer; --common keeps the words of the
# graded lists at that level. Another language ranks and filters by its word counts (tiny.lm), or
# not at all without them.
t=$'\t' m="--model $HERE/../data/ranking/tiny.arpa" c="--model $HERE/../data/ranking/tiny.lm"
mkdir levels && printf '%s\n' cat Dog god >levels/english-words.10 && echo act >levels/american-words.80
table <<EOF
search '* *' --from tacdog --best 3 $m|0|Found: 4&!not ranked|cat dog,god act,cat god,
search '* *' --from catdog --best 3 $m|0||god act,cat god,act dog,
search '* *' --from 'Cat dog' --best 2 --explain $m|0||god act${t}left: -${t}score: -5.80,cat god${t}left: -${t}score: -6.80,
search '!' --from 'Cat dog' --best 3 --explain $m|0|Found: 4|god act${t}left: -${t}score: -5.80,cat god${t}left: -${t}score: -6.80,act dog${t}left: -${t}score: -7.40,
search '?o?' --no-use-all --best 3 --explain $m|0||dog${t}score: -2.60,god${t}score: -3.00,cog${t}score: -9.00,
search '* *' --from catdog --best 3 --model none.lm|0|none.lm is missing. The matches are not ranked.|act dog,act god,cat dog,cat god,dog act,dog cat,god act,god cat,
search '* *' --from catdog --common 3 --word-levels levels --suppress-permutations --no-stoplist --save common|0|Found: 2&Filters on|cat dog,cat god,
view common|0|Common Words: 3&!Stoplist
search '?o?' --no-use-all --common 1 --word-levels levels|0|Found: 2|dog,god,
search '?o?' --common 1 --word-levels none|1|No word lists of american in|
search '* *' --from tacdog --best 3 --language en $m|0|Found: 4|cat dog,god act,cat god,
search '*' --from gat --no-use-all --best 3 --explain --language fr $c|0||a${t}left: gt${t}score: -4.00,tag${t}left: -${t}score: -6.00,at${t}left: g${t}score: -7.30,
search '*' --from tag --no-use-all --common 7 --language fr $c|0|Found: 1&Filters on|a,
search '*' --from tag --best 2 --language xx|0|No word counts of xx in /usr/share/onboard/models. The matches are not ranked.|tag,
search '*' --from tag --common 2 --language xx|1|No word counts of xx in|
EOF
expect_eq "one note without a model" "$(run search '* *' --from catdog --best 3 --model none.lm; grep -c 'not ranked' err.txt)" 1
table <<EOF
search '*' --from 'ca?g' --no-use-all --explain|0||a${t}left: cg?,at${t}left: cg${t}blanks: t,go${t}left: ac${t}blanks: o,act${t}left: g${t}blanks: t,cat${t}left: g${t}blanks: t,cog${t}left: a${t}blanks: o,tag${t}left: c${t}blanks: t,
search abcdefghijklmnopqrstu|1|Input Error: Your FIND field contained a pattern for a word exceeding the maximum length supported.
search '* *'|1|Input Error: Multiple Word Searches must contain an entry in the FROM field.
unselect --all|0|
search cat|1|No Dictionaries Selected: You do not currently have  a dictionary selected for use.&Select a dictionary with: zantric-cli select NAME
EOF
# The starter dictionary: named by an empty folder's hint, made and selected, asks before replacing.
printf '%s\n' a b I CRT hmm '  ' cat > starter.txt && mkdir empty
folder=empty table <<EOF
list||$([[ -r /usr/share/dict/words ]] && echo "No dictionaries yet. Make one from the system word list (/usr/share/dict/words): zantric-cli -C empty starter")
search cat|1|!Select a dictionary with
starter starter.txt|0|!could not find any dictionaries&empty: 1, such as line 6
list|0|»${t}english.lex${t}3
starter starter.txt|1|Warning: Dictionary already exists. Overwrite?
--yes starter starter.txt|0|
EOF
# Ctrl-C, TERM, HUP, a closed pipe end a search or view: its status, temp empty, kept matches printed;
# TERM also while the output waits on a reader that reads nothing.
if [[ -r /usr/share/dict/american-english ]]; then
    run --yes make /usr/share/dict/american-english english && run select english &&
        run search '* *' --from painterslodge --no-use-all --save many || fail "saving many matches"
    long=(search '!' --from williamshakespe)
    for how in INT:130 slow:130 stall:143 TERM:143 HUP:129 pipe:141 view:141; do
        start=$SECONDS sig=${how%:*} output=out.txt
        if [[ $sig == pipe || $sig == view ]]; then
            [[ $sig == pipe ]] && what=("${long[@]}") || what=(view many)
            "$CLI" -C prog "${what[@]}" 2>err.txt | head -2 >out.txt
            status=${PIPESTATUS[0]}
        else
            [[ $sig == slow || $sig == stall ]] && output=slow.fifo && mkfifo slow.fifo
            [[ $sig == slow ]] && { sleep 2; cat >out.txt; } <slow.fifo &
            [[ $sig == stall ]] && { sleep 20 <slow.fifo & reader=$!; }
            # With --save the matches go through the results pair, whose growth shows the search.
            save=() && [[ $sig == slow ]] && save=(--save kept)
            "$CLI" -C prog "${long[@]}" "${save[@]}" >$output 2>err.txt &
            signal=${sig/slow/INT} && pid=$! && sleep 0.5 && kill -"${signal/stall/TERM}" "$pid"
            [[ $sig != slow ]] || expect_eq "slow: the search went on after Ctrl-C" \
                "$({ sleep 0.3; stat -c %s prog/temp/*.\$\$\$; sleep 0.5; stat -c %s prog/temp/*.\$\$\$; } | uniq | wc -l)" "1"
            wait "$pid"; status=$? && { [[ $sig != stall ]] || kill "$reader"; } && wait && rm -f slow.fifo
        fi
        ((SECONDS - start < 8)) || fail "$how: ended only after $((SECONDS - start)) s"
        expect_eq "$how: status, files left" "$status:$(find prog/temp -type f | wc -l)" "${how#*:}:0"
        [[ $how != INT* && $how != slow* ]] ||
            expect_eq "$how: kept matches printed" "$(wc -l <out.txt)" "$(sed -n 's/^Found: //p' err.txt)"
    done
fi
finish
