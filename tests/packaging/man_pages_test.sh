#!/usr/bin/env bash
# Renders each built manual page as man and lintian do and fails on any warning;
# checks each page has the sections a reader looks for.
#   man_pages_test.sh MAN_DIR
set -euo pipefail
man_dir=$1
failed=0
pages=("$man_dir"/*.1)
[ -e "${pages[0]}" ] || { echo "FAILED: no manual pages in $man_dir"; exit 1; }
for page in "${pages[@]}"; do
    name=$(basename "$page")
    warnings=$({
        LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
            >/dev/null || echo "man failed"
        groff -ww -man -z "$page" || echo "groff failed"
    } 2>&1)
    if [ -n "$warnings" ]; then
        echo "FAILED: $name renders with warnings:"
        echo "$warnings" | sed 's/^/  /'
        failed=$((failed + 1))
    fi
    text=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES ENVIRONMENT EXAMPLES "SEE ALSO"; do
        if ! grep -qx "$section" <<<"$text"; then
            echo "FAILED: $name has no $section section"
            failed=$((failed + 1))
        fi
    done
    if ! grep -q "^       ${name%.1} - " <<<"$text"; then
        echo "FAILED: $name's NAME line is not \"${name%.1} - what it does\""
        failed=$((failed + 1))
    fi
done
echo "${#pages[@]} pages, $failed problems"
[ "$failed" -eq 0 ]
