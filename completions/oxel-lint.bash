# bash completion for oxel-lint: its options, the warning names that
# --disable takes (as `oxel-lint --list` names them) and Oxel programs.
_oxel_lint() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local i
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            _filedir ox
            return
        fi
    done
    case $cur in
    --format=*)
        COMPREPLY=($(compgen -P --format= -W "text json" -- "${cur#--format=}"))
        ;;
    --disable=*)
        # Complete the last name of a comma-separated list.
        local names=${cur#--disable=}
        local done_part=""
        [[ $names == *,* ]] && done_part=${names%,*},
        local warnings
        warnings=$("${COMP_WORDS[0]}" --list 2>/dev/null | cut -f1)
        COMPREPLY=($(compgen -P "--disable=$done_part" -W "$warnings" -- "${names##*,}"))
        compopt -o nospace 2>/dev/null
        ;;
    -*)
        COMPREPLY=($(compgen -W "--format= --disable= --list --help --" -- "$cur"))
        [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
        ;;
    *)
        _filedir ox
        ;;
    esac
}
complete -F _oxel_lint oxel-lint
