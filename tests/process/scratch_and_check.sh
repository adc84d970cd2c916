# Sourced by the process tests: runs the test in a scratch folder removed on
# exit, and gives check WHAT ACTUAL EXPECTED, which records a mismatch in
# `failed` (the test ends with `exit $failed`).
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
failed=0
check() {  # what, actual, expected
    if [ "$2" != "$3" ]; then
        printf '%s: expected\n%s\ngot\n%s\n' "$1" "$3" "$2"
        failed=1
    fi
}
