# Sourced by the end-to-end tests: failures are counted as they come and decide the exit status.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_eq() {  # expect_eq NAME ACTUAL EXPECTED
    [[ "$2" == "$3" ]] || fail "$1: got [$2], expected [$3]"
}
expect_err() {  # expect_err NAME LINE: err.txt of the current folder holds that line
    grep -qxF -- "$2" err.txt || fail "$1: stderr lacks [$2]: $(cat err.txt)"
}
finish() {  # reports and exits: 1 after any failure
    if ((failures)); then
        echo "$failures failure(s)"
        exit 1
    fi
    echo "all passed"
    exit 0
}
