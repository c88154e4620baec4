#!/usr/bin/env bash
# Side by side with the anagram tools users already have: zantric-cli against `an` and `wordplay`
# on phrases, and against grep -x / awk over the text list on single-word questions.
#
#   bench/peers.sh ZANTRIC_CLI [CASE...]      (./x bench-peers builds it and passes the path)
#
# The word list is the system list kept to lines of 1 to 20 lower-case letters a-z; the cases named
# insane use wamerican-insane's list (about 650,000 words) kept the same way. Each case runs
# its commands in turn, ROUNDS times (hyperfine without a shell, one run per command and round,
# so the tools alternate), each phrase run bounded by LIMIT seconds; output goes to /dev/null and
# the result lines are counted in one more run. CASE picks cases by name (phrase10 phrase12
# phrase13 phrase15 two three single insane); the default is all of them.
#   ROUNDS (default 5, 3 for the long phrases)   LIMIT (default 120 s)   KEEP=1 keeps the folder
set -euo pipefail

CLI=$(realpath "${1:?usage: bench/peers.sh ZANTRIC_CLI [CASE...]}")
shift
CASES=("$@")
ROUNDS=${ROUNDS:-}
LIMIT=${LIMIT:-120}
SYSTEM_LIST=/usr/share/dict/american-english
AN=/usr/games/an
WORDPLAY=/usr/games/wordplay

need_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
need_packages an wordplay hyperfine jq wamerican wamerican-insane

if ! "$CLI" make --help >/dev/null 2>&1; then
    echo "bench/peers.sh: $CLI has no make command yet" >&2
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zantric-peers.XXXXXX")
if [[ "${KEEP:-}" == 1 ]]; then echo "keeping $work"; else trap 'rm -rf "$work"' EXIT; fi

# use_list NAME SOURCE: the text list $work/NAME.txt and a program folder holding its dictionary,
# made once; LIST and FOLDER name them for the cases that follow.
use_list() {
    LIST=$work/$1.txt
    FOLDER=$work/$1
    PREFIX=""
    [[ "$1" == words ]] || PREFIX="$1: "
    [[ -d "$FOLDER" ]] && return 0
    LC_ALL=C grep -xE '[a-z]{1,20}' "$2" >"$LIST"
    echo "Word list: $(wc -l <"$LIST") words of 1 to 20 letters a-z from $2"
    mkdir -p "$FOLDER"
    if ! "$CLI" -C "$FOLDER" --yes make "$LIST" english >"$work/make.log" 2>&1 ||
        ! "$CLI" -C "$FOLDER" select english >>"$work/make.log" 2>&1; then
        cat "$work/make.log" >&2
        exit 1
    fi
    echo "Dictionary: $("$CLI" -C "$FOLDER" list 2>/dev/null | tr '\t' ' ')"
    echo "Machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
    echo
}
use_list words "$SYSTEM_LIST"

wanted() {  # wanted NAME: whether the case was asked for
    ((${#CASES[@]} == 0)) && return 0
    local c
    for c in "${CASES[@]}"; do [[ "$c" == "$1" ]] && return 0; done
    return 1
}

quote() { local out="" a; for a in "$@"; do out+="$(printf '%q' "$a") "; done; echo "${out% }"; }
# Phrase runs are bounded by LIMIT; single-word runs take milliseconds and run bare, so that the
# time measured is the tool's own, from its start to its exit.
BOUND=(timeout "$LIMIT")
zantric() { quote "${BOUND[@]}" "$CLI" -C "$FOLDER" search "$@"; }
peer() { quote "${BOUND[@]}" "$@"; }

# Sub-anagram and anagram questions as awk answers them over the text list.
AWK_FITS=$work/fits.awk
cat >"$AWK_FITS" <<'AWK'
BEGIN { n = split(from, f, ""); for (i = 1; i <= n; i++) have[f[i]]++ }
{ if (all && length($0) != n) next; delete used; ok = 1
  m = split($0, w, ""); for (i = 1; i <= m && ok; i++) if (++used[w[i]] > have[w[i]]) ok = 0
  if (ok) print }
AWK

# run_case TITLE ROUNDS LABEL COMMAND [LABEL COMMAND...]: the first command is ours.
run_case() {
    local title=$1 rounds=${ROUNDS:-$2}
    shift 2
    local labels=() commands=()
    while (($#)); do
        labels+=("$1")
        commands+=("$2")
        shift 2
    done
    local n=${#commands[@]} i r
    local lines=()
    for ((i = 0; i < n; i++)); do
        lines+=("$(bash -c "${commands[$i]}" 2>/dev/null | wc -l)")
    done
    for ((r = 1; r <= rounds; r++)); do
        # Without a shell (-N): a shell's start would be timed with every run.
        hyperfine -N --runs 1 --style none --ignore-failure \
            --export-json "$work/round$r.json" -- "${commands[@]}" >/dev/null 2>&1
    done
    echo "== $title  ($rounds rounds)"
    printf '   %-30s %10s %10s %11s %10s %9s %9s\n' tool "median ms" "cpu ms" lines "us/line" \
        "time x" "line x"
    local ours_ms="" ours_per=""
    for ((i = 0; i < n; i++)); do
        # Median of the rounds' wall times and of their user+system times.
        local stats
        stats=$(for ((r = 1; r <= rounds; r++)); do
            jq -r ".results[$i] | \"\(.mean) \(.user + .system)\"" "$work/round$r.json"
        done | awk '{ w[NR] = $1 * 1000; c[NR] = $2 * 1000 }
            function median(a, k,   t, i, j) { for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++)
                if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2 }
            END { printf "%.1f %.1f", median(w, NR), median(c, NR) }')
        local ms=${stats% *} cpu=${stats#* }
        local per
        per=$(awk -v t="$ms" -v l="${lines[$i]}" 'BEGIN { if (l > 0) printf "%.3f", t * 1000 / l; else print "-" }')
        local note=""
        awk -v t="$ms" -v lim="$LIMIT" 'BEGIN { exit !(t >= lim * 1000) }' && note="  (time limit)"
        if ((i == 0)); then
            ours_ms=$ms
            ours_per=$per
        fi
        local tx lx
        tx=$(awk -v a="$ours_ms" -v b="$ms" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
        lx=$(awk -v a="$ours_per" -v b="$per" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.2f", a / b }')
        printf '   %-30s %10s %10s %11s %10s %9s %9s%s\n' "${labels[$i]}" "$ms" "$cpu" \
            "${lines[$i]}" "$per" "$tx" "$lx" "$note"
    done
    echo "   (time x, line x: zantric's median time, and its time per result line, over this tool's)"
    echo
}

phrase_case() {  # phrase_case NAME PHRASE ROUNDS
    wanted "$1" || return 0
    run_case "$2: all letters, any number of words" "$3" \
        "zantric ! --suppress-perm." "$(zantric '!' --from "$2" --suppress-permutations)" \
        "an" "$(peer "$AN" -d "$LIST" "$2")" \
        "wordplay -sav" "$(peer "$WORDPLAY" "$2" -sav -f "$LIST")" \
        "wordplay -s" "$(peer "$WORDPLAY" "$2" -s -f "$LIST")"
}

phrase_case phrase10 mastermind 5
phrase_case phrase12 schoolmaster 5
phrase_case phrase13 clinteastwood 3
phrase_case phrase15 williamshakespe 3

if wanted two; then
    for p in schoolmaster clinteastwood; do
        run_case "$p: two words" 5 \
            "zantric '* *' --suppress-perm." "$(zantric '* *' --from "$p" --suppress-permutations)" \
            "an -l 2" "$(peer "$AN" -l 2 -d "$LIST" "$p")"
    done
fi
if wanted three; then
    for p in schoolmaster clinteastwood; do
        run_case "$p: three words" 5 \
            "zantric '* * *' --suppress-perm." "$(zantric '* * *' --from "$p" --suppress-permutations)" \
            "an -l 3" "$(peer "$AN" -l 3 -d "$LIST" "$p")"
    done
fi

single() {  # single TITLE GREP_PATTERN ZANTRIC_ARGS...
    local title=$1 regex=$2 BOUND=()
    shift 2
    run_case "$PREFIX$title" 7 "zantric" "$(zantric "$@")" "grep -x" "$(peer grep -x "$regex" "$LIST")"
}
fits() {  # fits FROM: every word of FROM's letters, then those of any of them, against awk
    local BOUND=()
    run_case "$PREFIX* from $1 (all letters)" 7 \
        "zantric" "$(zantric '*' --from "$1")" \
        "awk" "$(peer awk -v from="$1" -v all=1 -f "$AWK_FITS" "$LIST")"
    run_case "$PREFIX* from $1 --no-use-all" 7 \
        "zantric" "$(zantric '*' --from "$1" --no-use-all)" \
        "awk" "$(peer awk -v from="$1" -v all=0 -f "$AWK_FITS" "$LIST")"
}
if wanted single; then
    single "c?t" 'c.t' 'c?t'
    single "c*t" 'c.*t' 'c*t'
    single "*ing" '.*ing' '*ing'
    single "?????????" '.........' '?????????'
    fits retains
fi

if wanted insane; then
    use_list insane /usr/share/dict/american-english-insane
    single "c?t" 'c.t' 'c?t'
    single "*ing" '.*ing' '*ing'
    single "?????????" '.........' '?????????'
    fits reactions
    run_case "${PREFIX}schoolmaster, two words" 3 \
        "zantric '* *' --suppress-perm." "$(zantric '* *' --from schoolmaster --suppress-permutations)" \
        "an -l 2" "$(peer "$AN" -l 2 -d "$LIST" schoolmaster)"
fi
