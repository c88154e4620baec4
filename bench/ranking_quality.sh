#!/usr/bin/env bash
# The ranking's quality on known anagram pairs: for each line "source|answer" of PAIRS, the rank
# of the answer (as a set of words, any order, any case) among the best 100 of
# `search '!' --from SOURCE --best 100`, then how many answers are in the top 10 and the top 100.
#   bench/ranking_quality.sh ZANTRIC_CLI PROGRAM_FOLDER PAIRS
# PROGRAM_FOLDER holds the selected dictionary (zantric-cli -C FOLDER starter makes one); PAIRS is
# a file of known pairs, one "source|answer" a line.
set -euo pipefail
cli=$1 folder=$2 pairs=$3

# The words of a phrase in lower case, sorted, one line.
key() { tr 'A-Z' 'a-z' <<<"$1" | tr ' ' '\n' | sed '/^$/d' | sort | tr '\n' ' '; }

top10=0 top100=0 total=0
printf '%-24s %-28s %s\n' source answer rank
while IFS='|' read -r source answer; do
    [[ -z $source ]] && continue
    total=$((total + 1))
    want=$(key "$answer")
    rank=- n=0
    while IFS= read -r line; do
        n=$((n + 1))
        if [[ $(key "$line") == "$want" ]]; then rank=$n; break; fi
    done < <("$cli" -C "$folder" search '!' --from "$source" --best 100 2>/dev/null)
    [[ $rank != - ]] && top100=$((top100 + 1))
    [[ $rank != - && $rank -le 10 ]] && top10=$((top10 + 1))
    printf '%-24s %-28s %s\n' "$source" "$answer" "$rank"
done <"$pairs"
echo "top 10: $top10/$total  top 100: $top100/$total"
