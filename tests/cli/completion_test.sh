#!/usr/bin/env bash
# The bash completion of zantric-cli, in a non-interactive bash: commands, options and option
# values, dictionary names from each way of choosing the program folder (and no folder made by
# completing), file names; and that it offers every command and option the program's --help
# lists, so that a new option cannot be forgotten in it.
set -u
CLI=$1
script=$(cd "$(dirname "$0")/../.." && pwd)/packaging/bash-completion/zantric-cli
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shellcheck source=/dev/null
source "$script"
[[ $(complete -p zantric-cli) == "complete -F _zantric_cli zantric-cli" ]] ||
    fail "not registered: $(complete -p zantric-cli 2>&1)"

# complete LINE: the sorted candidates for the last word of LINE (a trailing space starts a new
# word), with the program under test in place of zantric-cli.
complete_line() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$CLI
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _zantric_cli
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {  # expect LINE CANDIDATES
    local got
    got=$(complete_line "$1")
    [[ $got == "$2" ]] || fail "[$1]: got [$got], expected [$2]"
}

# Dictionaries in three program folders; a word list for file names.
printf 'cat\ndog\n' >words.txt
for folder in prog home xdg/zantric; do
    mkdir -p "$folder"
    "$CLI" -C "$folder" make words.txt alpha >/dev/null 2>&1
    "$CLI" -C "$folder" make words.txt "beta ${folder%%/*}" >/dev/null 2>&1
done
"$CLI" -C prog make words.txt alpine >/dev/null 2>&1
mkdir empty

unset ZANTRIC_HOME
export HOME=$dir/nohome XDG_DATA_HOME=$dir/xdg
table=(
    "zantric-cli se|search select "
    "zantric-cli de|delete delete-results details "
    "zantric-cli --v|--version "
    "zantric-cli search --s|--save --stoplist --suppress-permutations "
    "zantric-cli search c?t --from abc --no|--no-repeated-words --no-stoplist --no-use-all "
    "zantric-cli stoplist |add list remove "
    "zantric-cli search ! --stoplist wo|words.txt "
    "zantric-cli words --m|--min-length "
    "zantric-cli select --a|--all "
    "zantric-cli merge alpha --i|--into "
    "zantric-cli remove-word cat -|--dict --help --version --yes -C -d -h -y "
    "zantric-cli search --from |"
    "zantric-cli -C prog select al|alpha alpine "
    "zantric-cli --yes -C prog delete alpha a|alpha alpine "
    "zantric-cli -C prog add-word cat --dict alpi|alpine "
    "zantric-cli details -C prog b|beta prog "
    "zantric-cli unselect |alpha beta xdg "
    "zantric-cli -C empty select |"
    "zantric-cli -C missing select |"
    "zantric-cli make wo|words.txt "
    "zantric-cli search * --export wo|words.txt "
    "zantric-cli -C pr|prog "
)
for row in "${table[@]}"; do
    expect "${row%%|*}" "${row#*|}"
done
ZANTRIC_HOME=$dir/home expect "zantric-cli select " "alpha beta home "
(cd prog && unset XDG_DATA_HOME && expect "zantric-cli select alp" "alpha alpine ") ||
    failures=$((failures + 1))
[[ ! -e missing && ! -e nohome ]] || fail "completing made a program folder"

# Every command and option of --help is offered.
commands=$("$CLI" --help | sed -n '/^Subcommands:/,$s/^  \([a-z-]*\) .*/\1/p')
[[ -n $commands ]] || fail "no commands in --help"
offered=" $(complete_line "zantric-cli ") "
for command in $commands; do
    [[ $offered == *" $command "* ]] || fail "command $command not offered"
    options=" $(complete_line "zantric-cli $command -") "
    for option in $("$CLI" "$command" --help | grep -o -- '--\?[a-z][a-z-]*' | sort -u); do
        [[ $option == -[a-zA-Z] || $option == --* ]] || continue
        [[ $options == *" $option "* ]] || fail "$command: option $option not offered"
    done
done

((failures == 0)) && echo "all completion checks passed"
exit $((failures > 0))
