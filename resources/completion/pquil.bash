# Bash completion for pquil. The commands and each command's options are read from pquil's own --help texts, so
# the completion knows what the installed pquil knows.

_pquil_words_after() { # the first words of the lines indented under a heading of a help text
    local heading=$1
    awk -v heading="$heading" '$0 == heading { inside = 1; next } /^$/ { inside = 0 } inside && /^  [a-z]/ { print $1 }'
}

_pquil() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]} command=""
    local i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        -*) ;;
        *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "$("$program" --help 2>/dev/null | _pquil_words_after "Commands:" | sort -u) --help --version" -- "$cur"))
        return
    fi

    case $prev in
    --week-start) COMPREPLY=($(compgen -W "monday tuesday wednesday thursday friday saturday sunday" -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W "csv json" -- "$cur")); return ;;
    --unit) COMPREPLY=($(compgen -W "miles kilometers marathons mi km" -- "$cur")); return ;;
    --pace-unit | --per) COMPREPLY=($(compgen -W "mile kilometer mi km" -- "$cur")); return ;;
    --from | --thru | --today | --time | --pace | --distance | --tag | --limit) return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$({ "$program" "$command" --help 2>/dev/null; echo --help; } | grep -o -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The modes a command's usage lines name right after it (stats weekly, calc pace, chart weekly).
    if [ "$prev" = "$command" ]; then
        local modes
        modes=$("$program" "$command" --help 2>/dev/null | grep -o "pquil $command [a-z][a-z]*" | awk '{ print $3 }' | sort -u)
        if [ -n "$modes" ]; then
            COMPREPLY=($(compgen -W "$modes" -- "$cur"))
            return
        fi
    fi
    [ "$command" = date ] && return
    # Files: logs, and CSV files for import; folders to walk into.
    local file
    COMPREPLY=()
    while IFS= read -r file; do
        case $file in
        *.pquil | *.PQUIL | *.pql | *.PQL | *.csv | *.CSV) COMPREPLY+=("$file") ;;
        esac
    done < <(compgen -f -- "$cur")
    while IFS= read -r file; do
        COMPREPLY+=("$file")
    done < <(compgen -d -- "$cur")
}
complete -F _pquil -o filenames pquil
