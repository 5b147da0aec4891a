#!/usr/bin/env bash
# The update timer and its service read as systemd reads them: no unknown key,
# a command that exists, a timer that would fire every 15 minutes.
#   systemd_units_test.sh UNITS_DIR
set -euo pipefail
units=$1
command -v systemd-analyze >/dev/null || { echo "systemd-analyze is missing: skipped"; exit 77; }
cd "$units"
# --man=no: the man page named in Documentation= is checked by the man page test.
out=$(systemd-analyze verify --man=no tabulon-update-tables.timer tabulon-update-tables.service 2>&1) || {
    echo "$out"
    exit 1
}
if grep -v -e "^$" <<<"$out" | grep -qv -e "Failed to .*bus" -e "Cannot .*cgroup"; then
    echo "FAILED: systemd-analyze verify said:"
    echo "$out"
    exit 1
fi
grep -qx 'OnCalendar=\*:0/15' tabulon-update-tables.timer
grep -qx 'WantedBy=timers.target' tabulon-update-tables.timer
grep -qE '^ExecStart=/.*/tabulon-convert --update-tables -q$' tabulon-update-tables.service
echo "units verified"
