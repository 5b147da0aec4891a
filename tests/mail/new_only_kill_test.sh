#!/usr/bin/env bash
# Kills tabulon-convert --new-only at each fsync and each rename it reaches
# (strace's fault injection), for csv, xlsx and jsonl tables, an mbox file and a
# Maildir, a table that is there and one that is not yet; after each kill the
# next run must succeed and leave every message exactly once, and a run after
# it must add nothing.
#   new_only_kill_test.sh PROGRAM_DIR        (exit 77: no strace, or no ptrace)
set -uo pipefail
convert=$(cd "$1" && pwd)/tabulon-convert
command -v strace >/dev/null || { echo "strace is not installed"; exit 77; }
strace -f -o /dev/null true 2>/dev/null || { echo "strace cannot trace here"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/config
unset XDG_STATE_HOME
mkdir -p "$HOME"
cd "$HOME" || exit 1
printf 'Name:\rEmail:\r' >Two
failed=0 kills=0

message() {  # message N: a form mail; 4 has no Message-ID, 5 shares 1's
    local id="<m$1@x.example>"
    [ "$1" = 4 ] && id=""
    [ "$1" = 5 ] && id="<m1@x.example>"
    printf 'From: form@x.example\nSubject: Contact\n%s\nName: Person %s\nEmail: p%s@x.example\n' \
        "${id:+Message-ID: $id
}" "$1" "$1"
}

# mail KIND COUNT: messages 1..COUNT as one mbox ("file") or a Maildir.
mail() {
    rm -rf mail.mbox md
    local i
    for ((i = 1; i <= $2; i++)); do
        if [ "$1" = file ]; then
            { echo "From form@x.example Mon Nov 30 09:14:02 2026"; message "$i"; echo; } >>mail.mbox
        else
            mkdir -p md/cur md/new md/tmp
            message "$i" >"md/cur/100$i.x:2,S"
        fi
    done
}

input() { [ "$1" = file ] && echo mail.mbox || echo md; }

add() {  # add FORMAT KIND: one --new-only run into "out"
    "$convert" -m -q --new-only -t Two -f "$1" -o out "$(input "$2")"
}

# The rows of a table, for comparing: a workbook's sheet, a text table's bytes.
rows() {
    if [ "$1" = xlsx ]; then
        python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml"))' "$2"
    else
        cat "$2"
    fi
}

for format in csv xlsx jsonl; do
    for kind in file maildir; do
        for before in 0 3; do
            rm -rf .local out saved
            mail "$kind" 6
            "$convert" -m -q -t Two -f "$format" -o whole "$(input "$kind")" || exit 1
            want=$(rows "$format" whole)
            mail "$kind" "$before"
            [ "$before" = 0 ] || add "$format" "$kind" || exit 1
            mkdir saved && cp -a .local saved/ 2>/dev/null
            [ -e out ] && cp -a out saved/
            mail "$kind" 6
            for call in fsync rename; do
                for ((n = 1; ; n++)); do
                    rm -rf .local out && cp -a saved/. .
                    # (In a shell of its own, which says nothing of the kill.)
                    # (LeakSanitizer cannot work under strace.)
                    status=$(sh -c '"$@" 2>/dev/null; echo $?' sh env \
                        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace -f -o /dev/null \
                        -e inject=$call:signal=KILL:when=$n "$convert" -m -q --new-only -t Two \
                        -f "$format" -o out "$(input "$kind")" 2>/dev/null)
                    [ $status = 137 ] || break  # the run did not reach call number n
                    kills=$((kills + 1))
                    where="$format, $kind, $before rows before, killed at $call $n"
                    if ! err=$(add "$format" "$kind" 2>&1); then
                        echo "FAIL $where: the next run failed: $err"
                        failed=1
                    elif [ "$(rows "$format" out)" != "$want" ]; then
                        echo "FAIL $where: the table is not each message once"
                        failed=1
                    elif ! add "$format" "$kind" || [ "$(rows "$format" out)" != "$want" ]; then
                        echo "FAIL $where: a run after it changed the table"
                        failed=1
                    fi
                done
                [ $status = 0 ] || { echo "FAIL $format $kind: a run exited $status"; failed=1; }
            done
        done
    done
done
echo "$kills kills, each followed by a run that succeeded with every message once"
[ $kills -gt 0 ] || failed=1
exit $failed
