#!/usr/bin/env bash
# Every option a program's --help lists must be in its manual page and offered
# by its bash and zsh completions, so that none falls behind the program.
#   options_documented_test.sh SOURCE_DIR PROGRAM...
set -euo pipefail
source_dir=$1
shift
failed=0
for program in "$@"; do
    name=$(basename "$program")
    # The app must not look for a display or a running copy: without one it
    # refuses at once, and its --help is checked only where it has one.
    if ! help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help 2>/dev/null); then
        echo "$name has no --help yet: skipped"
        continue
    fi
    mapfile -t options < <(grep -oE '(^|[][ ,|(])--?[A-Za-z][A-Za-z-]*' <<<"$help" |
        sed -E 's/^[][ ,|(]//' | LC_ALL=C sort -u)
    [ ${#options[@]} -gt 0 ] || { echo "FAILED: no options found in $name --help"; failed=1; }
    page=$source_dir/docs/man/$name.1.scd
    offered=
    if [ -f "$source_dir/completion/bash/$name" ]; then
        offered=$(
            source "$source_dir/completion/bash/$name"
            COMP_WORDS=("$name" -)
            COMP_CWORD=1
            "$(complete -p "$name" | sed -E 's/.*-F ([^ ]+) .*/\1/')" 2>/dev/null
            printf '%s\n' "${COMPREPLY[@]}"
        )
    fi
    for option in "${options[@]}"; do
        if ! grep -qF -- "*$option*" "$page"; then
            echo "FAILED: $name $option is not in $(basename "$page")"
            failed=1
        fi
        if [ -f "$source_dir/completion/bash/$name" ] && ! grep -qxF -- "$option" <<<"$offered"; then
            echo "FAILED: $name $option is not offered by its bash completion"
            failed=1
        fi
        # zsh's _arguments names an option in each entry: '--name[', {-x,--name=}, )--name=[
        zsh=$source_dir/completion/zsh/_$name
        if [ -f "$zsh" ] && ! grep -qE -- "['{,)]$option[=+,}[]" "$zsh"; then
            echo "FAILED: $name $option is not offered by its zsh completion"
            failed=1
        fi
    done
    echo "$name: ${options[*]}"
done
[ "$failed" -eq 0 ]
