# bash completion for vantorix-cli. Commands, options and fault names are read from the
# program's own help, so they stay true to the installed version.

_vantorix_cli_commands() {
    "$1" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p'
}

_vantorix_cli_options() {
    "$1" "$2" --help 2>/dev/null | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}

_vantorix_cli_faults() {
    "$1" simulate --help 2>/dev/null | sed -n 's/^ *faults[^:]*: *//p' | tr -d ',' | tr ' ' '\n'
}

_vantorix_cli() {
    local cur prev cli=${COMP_WORDS[0]}
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    if [[ $COMP_CWORD -eq 1 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_vantorix_cli_commands "$cli") --help --version" -- "$cur")
        return
    fi
    local command=${COMP_WORDS[1]}
    case $prev in
        --fault)
            mapfile -t COMPREPLY < <(compgen -W "$(_vantorix_cli_faults "$cli")" -- "$cur")
            return ;;
        --port)
            mapfile -t COMPREPLY < <(compgen -G "/dev/serial/by-id/*"; compgen -G "/dev/ttyUSB*"; compgen -G "/dev/ttyACM*")
            mapfile -t COMPREPLY < <(compgen -W "${COMPREPLY[*]}" -- "$cur")
            return ;;
        --fit | --model)
            mapfile -t COMPREPLY < <(compgen -W "linear loglog 4pl 5pl" -- "$cur")
            return ;;
        --weight)
            mapfile -t COMPREPLY < <(compgen -W "none 1/y 1/y2" -- "$cur")
            return ;;
        --image | --xlsx | --csv | --long-csv | --pdf | --png | --layout)
            # Files the command writes or reads that are no data files: any name.
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --wells | --operator | --test | --plate | --notes | --repeats | --delay | --retry | --seed | \
            --well-time | --set | --reaction | --pump1 | --pump2 | --prime1 | --prime2 | \
            --pre-inject | --post-inject | --dwell | --inject-delay)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_vantorix_cli_options "$cli" "$command")" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    if [[ $command == list ]]; then
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
    elif [[ $command == fit ]]; then
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    else
        # Data files and the folders that may hold them.
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[oO][vV][dD]' -- "$cur")
    fi
}

complete -F _vantorix_cli vantorix-cli
