# bash completion for veltran-cli: its options, the encoding names after --from and --to, the forms
# after --chinese, the backup modes after --backup, and file names for --rules, --log, --report,
# --undo, --output and the paths.

_veltran_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev= i
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # bash splits "--from=gb" at "=": complete the value after it as after "--from gb".
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi

    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == -- ]]; then
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
        fi
    done

    case $prev in
    --from | -f)
        mapfile -t COMPREPLY < <(compgen -W 'gb big5 utf8 gb18030 auto' -- "$cur")
        return
        ;;
    --to | -t)
        mapfile -t COMPREPLY < <(compgen -W 'gb big5 utf8 gb18030' -- "$cur")
        return
        ;;
    --chinese)
        mapfile -t COMPREPLY < <(compgen -W 'keep simplified traditional taiwan' -- "$cur")
        return
        ;;
    --backup)
        mapfile -t COMPREPLY < <(compgen -W 'simple numbered existing' -- "$cur")
        return
        ;;
    --rules | --log | --report | --undo | --output | -o)
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --filter | --jobs | -j)
        COMPREPLY=()
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--from --to --output --list --chinese --filter --no-backup --backup --bom --rules
            --charset-header --trust-source --sync --log --declarations --references --drop-unmappable --dry-run --report
            --force --undo --clean-staged --detect --jobs --verbose --quiet --help --version' -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -o filenames -F _veltran_cli veltran-cli
