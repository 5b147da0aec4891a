#!/usr/bin/env bash
# Asks the bash completion of tabulon-convert and tabulon-send what it offers,
# as bash would when Tab is pressed, and checks the answers.
#   completion_test.sh COMPLETION_DIR PROGRAM_DIR
set -euo pipefail
completion=$(cd "$1" && pwd)
PATH=$(cd "$2" && pwd):$PATH  # the formats come from tabulon-convert --help
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

# offers PROGRAM WORD... : what completing the last WORD offers, one per line, sorted.
offers() {
    local program=$1
    shift
    (
        cd "$scratch/work"
        export XDG_DATA_HOME=$scratch/data
        source "$completion/bash/$program"
        COMP_WORDS=("$program" "$@")
        COMP_CWORD=$#
        COMP_LINE="${COMP_WORDS[*]}"
        COMP_POINT=${#COMP_LINE}
        "$(complete -p "$program" | sed -E 's/.*-F ([^ ]+) .*/\1/')" 2>/dev/null
        printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort
    )
}

expect() {  # expect "OFFERS" PROGRAM WORD...
    local want=$1
    shift
    local got
    got=$(offers "$@" | paste -sd ' ' -)
    if [ "$got" != "$want" ]; then
        echo "FAILED: completing '$*' offered '$got', expected '$want'"
        failed=$((failed + 1))
    fi
}

mkdir -p "$scratch/work/mail folder" "$scratch/data/Tabulon/Templates"
touch "$scratch/work/Saved mail.txt" "$scratch/work/mail.mbox" "$scratch/work/--mail"
touch "$scratch/data/Tabulon/Templates/Field Names" "$scratch/data/Tabulon/Templates/Order Form"
templates=$scratch/data/Tabulon/Templates

# The formats the program takes, after each way of writing the option.
formats=$(offers tabulon-convert --format "" | paste -sd ' ' -)
for format in $formats; do
    tabulon-convert -f "$format" --version >/dev/null || {
        echo "FAILED: the completion offers '$format', which tabulon-convert refuses"
        failed=$((failed + 1))
    }
done
[ -n "$formats" ] || { echo "FAILED: no formats offered"; failed=$((failed + 1)); }
expect "$formats" tabulon-convert -f ""
expect "$formats" tabulon-convert --format = ""
expect "--format=csv" tabulon-convert "--format=c"
# Options, unless -- ended them; files otherwise, spaces and all.
expect "--headers --help" tabulon-convert --h
expect "--template" tabulon-convert -q --te
expect "--mail" tabulon-convert -- -x --m
expect "Saved mail.txt" tabulon-convert -q S
expect "mail folder mail.mbox" tabulon-convert -q m
# The user's templates, and files, after -t.
expect "$templates/Field Names $templates/Order Form" tabulon-convert -t "$templates/"
expect "$templates/Order Form" tabulon-convert -t Or
expect "Saved mail.txt" tabulon-convert --template S
expect "Date,From,Subject" tabulon-convert --headers Date,From,S
expect "Date,Reply-To-Address" tabulon-convert --headers Date,Reply-To-A
expect "raw" tabulon-convert --dates r
expect "--columns --columns-out" tabulon-convert -m --col
expect "" tabulon-convert --columns N
# tabulon-send: options and event IDs first, then files for prcs and odoc only.
expect "hail odoc prcs quit" tabulon-send ""
expect "--class --help --version" tabulon-send --
expect "prcs" tabulon-send --class aevt p
expect "Saved mail.txt" tabulon-send prcs S
expect "Saved mail.txt" tabulon-send ODOC "mail.mbox" S
expect "" tabulon-send hail S

echo "$failed failed"
[ "$failed" -eq 0 ]
