# Bash completion of ostrel. The commands and their options come from the tool itself
# (ostrel --list-commands), the attribute names from "ostrel attr list", so the completion
# knows what the installed tool knows.

_ostrel_attribute_names() {
    # Display names without their spaces and signs, a form the tool accepts.
    "$1" attr list 2>/dev/null | sed -n 's/^ *- name: //p' | tr -cd '[:alnum:]\n'
}

_ostrel() {
    local tool=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    local list
    list=$("$tool" --list-commands 2>/dev/null) || return 0
    COMPREPLY=()

    case $prev in
        --csv|--raw|--plot|--image) COMPREPLY=($(compgen -f -- "$cur")); return 0 ;;
        --lang) COMPREPLY=($(compgen -W "English French German Japanese Korean ChineseS" \
                    -- "$cur")); return 0 ;;
        --channels|--device) return 0 ;;
    esac

    # The command the words typed so far name: the longest line of the list they begin with.
    local line words options="" command="" operand=0 i
    while IFS=$'\t' read -r words line; do
        local -a parts=($words)
        local matched=1
        for ((i = 0; i < ${#parts[@]}; i++)); do
            [[ ${COMP_WORDS[i+1]} == "${parts[i]}" && $((i + 1)) -lt $COMP_CWORD ]] || matched=0
        done
        if ((matched)) && [[ ${#words} -gt ${#command} ]]; then
            command=$words options=$line
        fi
    done <<<"$list"

    if [[ -z $command ]]; then
        # Still choosing a command: offer the next word of every command the words begin.
        local typed="${COMP_WORDS[*]:1:COMP_CWORD-1}" next=""
        while IFS=$'\t' read -r words line; do
            if [[ -z $typed ]]; then
                next+=" ${words%% *}"
            elif [[ $words == "$typed "* ]]; then
                local rest=${words#"$typed "}
                next+=" ${rest%% *}"
            fi
        done <<<"$list"
        COMPREPLY=($(compgen -W "$next" -- "$cur" | sort -u))
        return 0
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return 0
    fi
    # Which operand is being typed (options and their values not counted).
    local -a command_parts=($command)
    for ((i = ${#command_parts[@]} + 1; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -* ]] || ((operand++))
    done
    case "$command:$operand" in
        "fw inspect:0"|"bitfile inspect:0"|"fw update:1")
            COMPREPLY=($(compgen -f -- "$cur")) ;;
        "attr get:1"|"attr get:2"|"attr set:1"|"attr set:2")
            COMPREPLY=($(compgen -W "$(_ostrel_attribute_names "$tool")" -- "$cur")) ;;
        "qsfp low-power:1")
            COMPREPLY=($(compgen -W "on off" -- "$cur")) ;;
    esac
    return 0
}

complete -F _ostrel ostrel
