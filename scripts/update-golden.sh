#!/usr/bin/env bash
# Rewrites the expected output, errors, exit status and files of the golden
# programs whose test names match the pattern, from what oxelc does now.
# Review the result with `git diff` before committing.
#   scripts/update-golden.sh 'programs/dump/'      one folder
#   scripts/update-golden.sh .                      every golden program
set -euo pipefail
pattern=${1:?usage: scripts/update-golden.sh TEST-NAME-REGEX [BUILD-DIR]}
build=${2:-build}
cd "$(dirname "$0")/.."
cmake --build "$build" --target oxelc
OXEL_UPDATE_GOLDEN=1 ctest --test-dir "$build" -R "$pattern" -E '^[A-Z]' --output-on-failure | grep -E 'tests passed|failed' || true
git status --short -- tests examples
