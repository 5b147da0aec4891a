#!/usr/bin/env bash
# Renders every window and page again and compares the pictures with those in
# docs/screenshots/: a window whose layout, texts or fonts changed shows here,
# whether or not it was meant. After a change meant to be seen, render them with
# `cmake --build build --target screenshots`, look at them, and commit them.
#   screenshots_test.sh RENDERER COMMITTED_DIR
set -euo pipefail
renderer=$1
committed=$2

# The pictures were made with DejaVu Sans as the sans-serif font; another font
# draws every text differently, which says nothing about the windows.
family=$(fc-match -f '%{family}' sans-serif 2>/dev/null || true)
case "$family" in
DejaVu\ Sans*) ;;
*)
    echo "SKIPPED: the sans-serif font here is \"$family\", not DejaVu Sans"
    exit 77
    ;;
esac

rendered=$(mktemp -d)
trap 'rm -rf "$rendered"' EXIT
QT_QPA_PLATFORM=offscreen "$renderer" "$rendered" >/dev/null

failed=0
for picture in "$committed"/*.png; do
    name=$(basename "$picture")
    if [ ! -f "$rendered/$name" ]; then
        echo "no longer rendered: $name"
        failed=1
    elif ! cmp -s "$picture" "$rendered/$name"; then
        echo "looks different: $name"
        failed=1
    fi
done
for picture in "$rendered"/*.png; do
    [ -f "$committed/$(basename "$picture")" ] || { echo "not committed: $(basename "$picture")"; failed=1; }
done
[ $failed -eq 0 ] || echo "Render them with: cmake --build build --target screenshots"
exit $failed
