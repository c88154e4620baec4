#!/usr/bin/env bash
# The bash completion (commands, options, dictionary names however the folder is chosen, files) and the
# manual page offer all that --help lists; both manual pages render without a warning where man is.
source "$(dirname "$(realpath "$0")")/test_lib.sh"
packaging=$HERE/../../packaging && source "$packaging/bash-completion/zantric-cli"
expect_eq "registered" "$(complete -p zantric-cli)" "complete -F _zantric_cli zantric-cli"
complete_line() {  # complete_line LINE: the sorted candidates for the last word of LINE
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$CLI COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=() && _zantric_cli
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
printf 'cat\ndog\n' >words.txt && mkdir -p home xdg/zantric empty
for folder in prog home xdg/zantric; do
    "$CLI" -C "$folder" make words.txt alpha && "$CLI" -C "$folder" make words.txt "beta ${folder%%/*}"
done >/dev/null 2>&1
"$CLI" -C prog make words.txt alpine >/dev/null 2>&1
unset ZANTRIC_HOME && export HOME=$dir/nohome XDG_DATA_HOME=$dir/xdg
while IFS='|' read -r line want; do
    expect_eq "[$line]" "$(complete_line "$line")" "$want"
done <<'ROWS'
zantric-cli stoplist |add list remove 
zantric-cli search ! --stoplist wo|words.txt 
zantric-cli remove-word cat -|--dict --help --version --yes -C -d -h -y 
zantric-cli search --from |
zantric-cli -C prog select al|alpha alpine 
zantric-cli --yes -C prog delete alpha a|alpha alpine 
zantric-cli details -C prog b|beta prog 
zantric-cli unselect |alpha beta xdg 
zantric-cli -C empty select |
zantric-cli -C missing select |
zantric-cli make wo|words.txt 
zantric-cli -C pr|prog 
ROWS
expect_eq "ZANTRIC_HOME" "$(ZANTRIC_HOME=$dir/home complete_line "zantric-cli select ")" "alpha beta home "
expect_eq "the current folder" "$(cd prog && unset XDG_DATA_HOME && complete_line "zantric-cli select alp")" \
    "alpha alpine "
[[ ! -e missing && ! -e nohome ]] || fail "completing made a program folder"
text=$(sed 's/\\-/-/g' "$packaging/man/zantric-cli.1.in")  # troff's escaped hyphens as plain ones
mentions() { grep -qE -- "(^|[^a-z-])$1([^a-z-]|$)" <<<"$text"; }
commands=$("$CLI" --help | sed -n '/^Subcommands:/,$s/^  \([a-z-]*\) .*/\1/p')
[[ -n $commands ]] || fail "no commands in --help"
offered=" $(complete_line "zantric-cli ") "
for option in $("$CLI" --help | sed -n '/^Options:/,/^$/p' | grep -o -- '-[-a-zA-Z]*'); do
    mentions "$option" || fail "option $option is not in the manual page"
done
for command in $commands; do
    [[ $offered == *" $command "* ]] || fail "command $command not completed"
    grep -qE "^\.B $command( |$)" <<<"$text" || fail "command $command has no manual entry"
    completed=" $(complete_line "zantric-cli $command -") "
    for option in $("$CLI" "$command" --help | sed -n '/^Options:/,$p' |
                    grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,'); do
        mentions "$option" || fail "$command: option $option is not in the manual page"
        [[ $completed == *" $option "* ]] || fail "$command: option $option not completed"
    done
done
for page in zantric-cli zantric; do ! command -v man >/dev/null ||
    [[ "$(MANWIDTH=80 man --warnings -l "$packaging/man/$page.1.in" 2>&1)" == *"EXIT STATUS"* &&
        -z "$(MANWIDTH=80 man --warnings -l "$packaging/man/$page.1.in" 2>&1 >/dev/null)" ]] || fail "$page.1 has warnings"
done
finish
