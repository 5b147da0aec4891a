#!/usr/bin/env bash
# Installs Tabulon into a scratch prefix, checks the desktop files, starts the
# installed app offscreen (its application folder must be share/tabulon) and
# drives it with the installed tabulon-send; then builds the .deb, looks in it and
# has lintian check it: any error fails.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'kill "${app:-0}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >"$scratch/check.log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
        sed 's/^/  /' "$scratch/check.log"
    fi
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
check "desktop entry is valid" desktop-file-validate "$prefix/share/applications/example.tabulon.Tabulon.desktop"
check "desktop entry takes files" grep -qx 'Exec=tabulon %F' "$prefix/share/applications/example.tabulon.Tabulon.desktop"
check "AppStream metainfo is valid" appstreamcli validate --no-net "$prefix/share/metainfo/example.tabulon.Tabulon.metainfo.xml"
check "icons are installed" test -s "$prefix/share/icons/hicolor/scalable/apps/tabulon.svg" -a -s "$prefix/share/icons/hicolor/48x48/apps/tabulon.png"
check "help is installed" grep -q '<h1>Tabulon Help</h1>' "$prefix/share/tabulon/Tabulon Help/Tabulon Help"
# Offered for saved mail; never a candidate for the program that opens text
# files, which the desktop database (and Debian's mailcap trigger) would make it.
update-desktop-database "$prefix/share/applications"
for type in application/mbox message/rfc822; do
    check "the desktop entry opens $type" \
        grep -qE "^$type=(.*;)?example.tabulon.Tabulon.desktop;" "$prefix/share/applications/mimeinfo.cache"
done
check "the desktop entry leaves text/plain to others" \
    bash -c "! grep -q '^text/plain=' '$prefix/share/applications/mimeinfo.cache'"
for program in tabulon tabulon-convert tabulon-send; do
    check "man $program reads" bash -c "MANWIDTH=80 man -l '$prefix/share/man/man1/$program.1.gz' | grep -q '^EXIT STATUS'"
done
for program in tabulon-convert tabulon-send; do
    check "bash completes $program" grep -q "^complete -F .* $program\$" "$prefix/share/bash-completion/completions/$program"
done
check "the update timer and its service are installed, the service running the installed program" \
    grep -qx "ExecStart=$prefix/bin/tabulon-convert --update-tables -q" "$prefix/lib/systemd/user/tabulon-update-tables.service"
check "the update timer is installed" test -s "$prefix/lib/systemd/user/tabulon-update-tables.timer"
check "the copyright file is machine-readable" \
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$prefix/share/doc/tabulon/copyright"

home=$scratch/home
mkdir -p "$home"
: > "$home/script"
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run
export TABULON_DIALOG_SCRIPT=$home/script QT_QPA_PLATFORM=offscreen
check "with no -t and no preferences, the message conversion takes the installed template" \
    "$prefix/bin/tabulon-convert" -q -m -f csv "$prefix/share/tabulon/examples/Contact Form Mail.txt" -o "$scratch/fresh.csv"
"$prefix/bin/tabulon" >"$scratch/app.log" 2>&1 &
app=$!
for _ in $(seq 100); do
    [ "$("$prefix/bin/tabulon-send" ping 2>/dev/null)" = "not handled" ] && break
    sleep 0.1
done
check "the installed app copies share/tabulon/Templates" \
    cmp "$prefix/share/tabulon/Templates/Field Names" "$home/data/Tabulon/Templates/Field Names"
check "its first start says so" grep -qx "message The Templates directory was moved to $home/data/Tabulon/" "$home/script.log"
cp "$prefix/share/tabulon/examples/Contact Form Mail.txt" "$home/mail.txt"
check "the installed tabulon-send converts through it" "$prefix/bin/tabulon-send" prcs "$home/mail.txt"
"$prefix/bin/tabulon-convert" -q -t "$prefix/share/tabulon/Templates/Field Names" "$home/mail.txt" -o "$home/expected"
check "the same bytes as tabulon-convert" cmp "$home/expected" "$home/mail.txt Converted"
check "the installed tabulon-convert finds tabulon-tables for the other formats" \
    "$prefix/bin/tabulon-convert" -q -m -f csv -t "$prefix/share/tabulon/Templates/Field Names" "$home/mail.txt"
check "it quits when asked" "$prefix/bin/tabulon-send" quit
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
check "and has ended" bash -c "! kill -0 $app 2>/dev/null"

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$scratch"/tabulon_*.deb)
dpkg-deb -c "$deb" >"$scratch/contents"
for file in ./usr/bin/tabulon ./usr/bin/tabulon-convert ./usr/bin/tabulon-send \
    ./usr/share/applications/example.tabulon.Tabulon.desktop "./usr/share/tabulon/Templates/Field Names" \
    ./usr/share/man/man1/tabulon-convert.1.gz ./usr/share/bash-completion/completions/tabulon-convert \
    ./usr/share/doc/tabulon/copyright ./usr/share/doc/tabulon/changelog.gz; do
    check "the .deb holds $file" grep -qF " $file" "$scratch/contents"
done
if command -v lintian >/dev/null; then
    check "lintian finds no error in the .deb" lintian --fail-on error --tag-display-limit 0 "$deb"
else
    check "lintian is installed (./test installs it)" false
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
