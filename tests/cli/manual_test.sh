#!/usr/bin/env bash
# The manual page of zantric-cli names every command and option that the program's --help
# lists, and both manual pages render without a warning where man is installed.
set -u
CLI=$1
pages=$(cd "$(dirname "$0")/../.." && pwd)/packaging/man
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page's text with troff's escaped hyphens as plain ones.
text=$(sed 's/\\-/-/g' "$pages/zantric-cli.1.in")
mentions() { grep -qE -- "(^|[^a-z-])$1([^a-z-]|$)" <<<"$text"; }

commands=$("$CLI" --help | sed -n '/^Subcommands:/,$s/^  \([a-z-]*\) .*/\1/p')
[[ -n $commands ]] || fail "no commands in --help"
for option in $("$CLI" --help | sed -n '/^Options:/,/^$/p' | grep -o -- '-[-a-zA-Z]*'); do
    mentions "$option" || fail "option $option is not in the manual page"
done
for command in $commands; do
    grep -qE "^\.B $command( |$)" <<<"$text" || fail "command $command has no entry"
    for option in $("$CLI" "$command" --help | sed -n '/^Options:/,$p' |
                    grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,'); do
        mentions "$option" || fail "$command: option $option is not in the manual page"
    done
done

if command -v man >/dev/null; then
    for page in zantric-cli.1.in zantric.1.in; do
        warnings=$(MANWIDTH=80 man --warnings -l "$pages/$page" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$page: $warnings"
        MANWIDTH=80 man -l "$pages/$page" 2>/dev/null | grep -q '^EXIT STATUS' ||
            fail "$page does not render"
    done
fi

((failures == 0)) && echo "the manual pages are complete"
exit $((failures > 0))
