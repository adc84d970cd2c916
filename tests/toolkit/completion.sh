#!/usr/bin/env bash
# The bash completion of oxel-lint completes its options, the warning names
# that --disable takes (from the built oxel-lint) and .ox files.
#   completion.sh COMPLETION_SCRIPT OXEL_LINT SCRATCH
set -u
. /usr/share/bash-completion/bash_completion
. "$1"
lint=$2
mkdir -p "$3" && cd "$3" && rm -f ./* && touch prog.ox other.ox notes.txt
failed=0
expect() {  # expect "WORDS..." "REPLY..."
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$lint
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _oxel_lint
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    if [[ $got != "$2 " ]]; then
        echo "completing '$1': expected '$2', got '${got% }'"
        failed=1
    fi
}
expect "oxel-lint --fo" "--format="
expect "oxel-lint --format=j" "--format=json"
expect "oxel-lint --disable=statement-t" "--disable=statement-typo"
expect "oxel-lint --disable=call-typo,statement-t" "--disable=call-typo,statement-typo"
expect "oxel-lint --disable=mixed" "--disable=mixed-indent"
expect "oxel-lint --l" "--list"
expect "oxel-lint " "other.ox prog.ox"
expect "oxel-lint -- " "other.ox prog.ox"
[ $failed = 0 ] && echo "completion: all cases complete as expected"
exit $failed
