#!/usr/bin/env bash
# scripts/check-includes against planted trees: a tree that keeps the rule
# passes, and each kind of include against it fails naming file, include and rule.
#   check_includes_test.sh CHECK_INCLUDES
set -u
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# plant FILE LINE: a scratch src/ whose FILE holds LINE, beside allowed includes.
plant() {
    rm -rf "$work/src"
    mkdir -p "$work/src"/{platform/qt,templates/qt,conversion/qt,update/qt,table,mail,preview,app/qt,cli}
    printf '#include <QWidget>\n#include "platform/qt/dialogs.h"\n#include "templates/field_list.h"\n' \
        >"$work/src/update/qt/update_window.h"
    printf '#include "update/qt/update_window.h"\n#include "conversion/qt/progress_dialog.h"\n' \
        >"$work/src/app/qt/window1.cc"
    printf '#include "output/table_sink.h"\n#include "table/table_writer.h"\n#include <string>\n' \
        >"$work/src/conversion/line_table.h"
    printf '#include "table/csv_writer.h"\n' >"$work/src/table/csv_text.cc"
    [ -n "$1" ] && { mkdir -p "$(dirname "$work/src/$1")"; printf '%s\n' "$2" >>"$work/src/$1"; }
}

# expect FILE LINE WORDS...: the check fails, and its report holds the file and
# each of WORDS (the include, the rule).
expect() {
    local file=$1 line=$2
    shift 2
    plant "$file" "$line"
    output=$("$check" "$work/src")
    local status=$? missing=""
    for words in "src/$file" "$@"; do
        grep -qF "$words" <<<"$output" || missing=$words
    done
    if [ $status -ne 1 ] || [ -n "$missing" ]; then
        echo "FAIL: $file with $line: exit $status, report lacks \"$missing\":"
        echo "$output"
        failures=$((failures + 1))
    fi
}

plant "" ""
"$check" "$work/src" >/dev/null || { echo "FAIL: a tree that keeps the rule was refused"; failures=$((failures + 1)); }

other_qt="only app/qt/ includes the other qt/ folders"
lower="includes only its own and lower folders"
expect conversion/qt/progress_dialog.cc '#include "app/qt/window1.h"' '"app/qt/window1.h"' "$other_qt"
expect update/qt/update_window.h '#include "templates/qt/list_box_fields.h"' list_box "$other_qt"
expect platform/text.h '#include <QString>' '<QString>' "includes no Qt header"
expect mail/message_decoder.cc '#include <QtCore/QTextCodec>' QTextCodec "includes no Qt header"
expect app/preferences.cc '#include "platform/qt/qt_paths.h"' qt_paths "nothing from a qt/ folder"
expect templates/field_names_file.cc '#include "conversion/converter.h"' converter.h "$lower"
expect table/csv_writer.cc '#include "update/update_reply.h"' update_reply.h "$lower"
expect table/csv_writer.cc '#include "table/csv_text.h"' "csv_text and csv_writer include each other" \
    'src/table/csv_text.cc:1 includes "table/csv_writer.h"' 'csv_writer.cc:1 includes "table/csv_text.h"'
expect scripting/event.cc '#include "platform/text.h"' "not in the layer order"

exit $((failures > 0))
