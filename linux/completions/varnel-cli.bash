# bash completion for varnel-cli: the options, the function, then file names
# for the inputs and the output. Needs nothing from bash-completion.
_varnel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if [[ $prev == -r || $prev == --rate ]]; then
        mapfile -t COMPREPLY < <(compgen -W "8000 11025 16000 22050 22k 44100 44.1k 48000" -- "$cur")
        return
    fi
    if [[ $prev == --inputs-from ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
    fi
    if [[ $prev == -t || $prev == --output-type ]]; then
        mapfile -t COMPREPLY < <(compgen -W "wav raw" -- "$cur")
        return
    fi
    # Which word this one is: options and the values of --rate, --output-type and --inputs-from do not
    # count, and after -- every word is a file.
    local i word files_only="" words=0 function=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n $files_only ]]; then
            ((words++ == 0)) && function=$word
            continue
        fi
        case $word in
        --) files_only=yes ;;
        -r | --rate | -t | --output-type | --inputs-from) ((i++)) ;;
        -?*) ;;
        *) ((words++ == 0)) && function=$word ;;
        esac
    done
    if [[ -z $files_only && $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--pad --average --raw -r --rate -t --output-type --inputs-from --json -q
                                             --quiet --progress -h --help --version" -- "$cur")
    elif ((words == 0)); then
        mapfile -t COMPREPLY < <(compgen -W "mono stereo join join12 join21" -- "$cur")
    elif ((words < 4)) || [[ $function != stereo && $function != join21 ]]; then
        # mono and join take any number of inputs before OUTPUT.
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}
complete -F _varnel_cli varnel-cli
