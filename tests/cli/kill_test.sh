#!/usr/bin/env bash
# The program killed (SIGKILL) at random moments of make, merge, add-word and remove-word on
# dictionaries of about 200,000 words from the system word list, round after round for each
# operation in turn (KILL_ROUNDS each, 30 by default, within KILL_SECONDS, 30 by default); a
# moment is drawn from the time an uninterrupted run takes and a quarter more, so that some
# kills meet the run's last steps, and kill_after.cpp kills on time. After every kill: each dictionary is the old one
# or the new one byte for byte (the header's two times aside), a backup is the dictionary it
# backs up, the catalogue lists one of the two states, and the next start removes every
# temporary file the killed run left. Prints for each operation how many kills left the old
# state, the new one, a state between (backup made, dictionary not yet replaced) and temporary
# files.
set -u
source "$(dirname "$(realpath "$0")")/test_lib.sh"
CLI=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
wordlist=/usr/share/dict/american-english
if [[ ! -r $wordlist ]]; then
    echo "SKIP: no $wordlist (package wamerican)"
    exit 0
fi
dir=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
if ! { c++ -std=c++17 -O1 -Wall -Wextra -Werror -o fault_state "$here/fault_state.cpp" &&
       c++ -std=c++17 -O1 -Wall -Wextra -Werror -o kill_after "$here/kill_after.cpp"; } \
       2>build.txt; then
    echo "SKIP: the helpers do not build here: $(cat build.txt)"
    exit 0
fi
rounds=${KILL_ROUNDS:-30}
seconds=${KILL_SECONDS:-30}


# The starting folder: base (the list's words, also with endings) selected, other (those words
# reversed) and both (two words); the make replaces base with the reversed words.
awk '{ print; print $0 "s"; print $0 "ed"; print $0 "er"; print $0 "ing"; print $0 "ly" }' \
    "$wordlist" >words.txt
rev words.txt >reversed.txt
printf '%s\n' cog cot >small.txt
mkdir start
"$CLI" -C start make words.txt base >/dev/null 2>&1 &&
    "$CLI" -C start make reversed.txt other >/dev/null 2>&1 &&
    "$CLI" -C start make small.txt both >/dev/null 2>&1 &&
    "$CLI" -C start select base >/dev/null 2>&1 || { echo "FAIL: setting up"; exit 1; }

operations=(make merge add remove)
command_of() {  # command_of OP: the operation's command line on ./prog, in the array `command`
    case "$1" in
        make) command=("$CLI" -C prog --yes make "$dir/reversed.txt" base) ;;
        merge) command=("$CLI" -C prog --yes merge base other --into both) ;;
        add) command=("$CLI" -C prog --yes add-word zantric --dict base) ;;
        remove) command=("$CLI" -C prog --yes remove-word 'ca?' --dict base) ;;
    esac
}
fresh() { rm -rf prog && cp -a start prog; }
# The state after the next start, which cleans up: the catalogue, then each file and its hash,
# then "leftovers:" and what is left.
settled() {
    "$CLI" -C prog list 2>&1
    ./fault_state prog
}
# acceptable STATE: each file the old one or the new one, a backup the dictionary it backs up,
# and the catalogue as listed in one of the two states.
acceptable() {
    local -A was=() will=() now=()
    local path hash
    while read -r path hash; do was[$path]=$hash; done <<<"${old[$op]}"
    while read -r path hash; do will[$path]=$hash; done <<<"${new[$op]}"
    while read -r path hash; do now[$path]=$hash; done <<<"$1"
    [[ "$(grep -v '^[a-z]' <<<"$1")" == "$(grep -v '^[a-z]' <<<"${old[$op]}")" ||
       "$(grep -v '^[a-z]' <<<"$1")" == "$(grep -v '^[a-z]' <<<"${new[$op]}")" ]] || return 1
    for path in "${!was[@]}" "${!will[@]}" "${!now[@]}"; do
        [[ $path == */* ]] || continue
        hash=${now[$path]:-gone}
        [[ $hash == "${was[$path]:-gone}" || $hash == "${will[$path]:-gone}" ]] && continue
        [[ $path == *.lxb && $hash == "${was[${path%.lxb}.lex]:-}" ]] && continue
        return 1
    done
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

declare -A old=() new=() took=() kills=() asOld=() asNew=() between=() leftBehind=() finished=()
for op in "${operations[@]}"; do
    fresh
    old[$op]=$(settled)
    fresh
    command_of "$op"
    took[$op]=$(./kill_after -1 "${command[@]}") || { fail "$op without a kill"; took[$op]=0; }
    new[$op]=$(settled)
    [[ "${old[$op]}" != "${new[$op]}" ]] || fail "$op changes nothing"
    kills[$op]=0 asOld[$op]=0 asNew[$op]=0 between[$op]=0 leftBehind[$op]=0 finished[$op]=0
done

deadline=$(($(now_ms) + seconds * 1000))
for ((round = 1; round <= rounds && $(now_ms) < deadline; round++)); do
    for op in "${operations[@]}"; do
        fresh
        command_of "$op"
        delay=$(((RANDOM * 32768 + RANDOM) % (took[$op] * 5 / 4 + 1)))
        ./kill_after $delay "${command[@]}"
        status=$?
        what="$op killed after $delay microseconds"
        if ((status != 137)); then
            finished[$op]=$((finished[$op] + 1))
            ((status == 0)) || fail "$what: status $status"
        fi
        kills[$op]=$((kills[$op] + 1))
        [[ "$(./fault_state prog | sed -n 's/^leftovers://p')" == "" ]] ||
            leftBehind[$op]=$((leftBehind[$op] + 1))
        now=$(settled)
        [[ "$now" == *"leftovers:" ]] || fail "$what: after the next start: ${now##*leftovers:}"
        if [[ "$now" == "${old[$op]}" ]]; then
            asOld[$op]=$((asOld[$op] + 1))
        elif [[ "$now" == "${new[$op]}" ]]; then
            asNew[$op]=$((asNew[$op] + 1))
        elif acceptable "$now"; then
            between[$op]=$((between[$op] + 1))
        else
            fail "$what: neither the old nor the new state: $(diff <(echo "${old[$op]}") <(echo "$now") | grep '^[<>]' | head -6 | tr '\n' ' ')"
        fi
    done
done

total=0
for op in "${operations[@]}"; do
    echo "$op ($((took[$op] / 1000)) ms): ${kills[$op]} runs," \
         "$((kills[$op] - finished[$op])) killed part way; afterwards the old state ${asOld[$op]}," \
         "the new ${asNew[$op]}, between ${between[$op]}; temporary files left by" \
         "${leftBehind[$op]}, all removed by the next start"
    total=$((total + kills[$op]))
done
echo "$total runs"
finish
