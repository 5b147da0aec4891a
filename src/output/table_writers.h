// The writers' registry: the writer of each output format (table_format.h),
// and how every road that writes a table finishes it.
#pragma once

#include <memory>

#include "output/table_format.h"
#include "platform/byte_stream.h"
#include "table/table_writer.h"

namespace tabulon {

// A writer of `format` into `sink`, which must outlive it.
//
// What each format does with awkward values:
// - tab: the line conversion's layout: each cell followed by Tab, a row's last by
//   CR; Tab, CR and LF inside a value become a blank; other bytes are copied
//   untouched but for C0 controls (below).
// - tsv, csv, xlsx, jsonl: UTF-8 throughout. Bytes that are not UTF-8 are read
//   as Windows-1252 (its five unassigned bytes become U+FFFD), so that a Latin-1
//   value stays readable instead of making the whole file invalid.
// - tab, tsv, csv, xlsx: a C0 control other than Tab, CR and LF (ESC, NUL, ...)
//   becomes U+FFFD (appendCellText), so that no file carries a mail's terminal
//   escapes; jsonl writes it as a \u escape.
// - csv, tsv and tab are meant to be opened by spreadsheets, which run a cell that
//   starts with "=", "+", "-" or "@" as a formula. Such a value (also after
//   leading blanks, Tabs or line ends, and its full-width forms) is written with
//   a "'" in front: the spreadsheets' own mark for text, so "+45 5555 0101"
//   reads '+45 5555 0101 and nothing a web form sent can run. jsonl (for
//   scripts) and xlsx (text cells) hold the values exactly. The line
//   conversion's own tab output is written by its engine, not by these
//   writers, and is not guarded.
// - A row may be longer than the header (the line conversion's message
//   without its last field runs on): csv, tsv, tab and xlsx write the extra
//   cells as further columns; jsonl keys them "column N" (N counted from 1).
//   Names that repeat become "Name 2", "Name 3", ... as jsonl keys.
// - xlsx: a workbook holds at most 1,048,576 rows, 16,384 columns and 32,767
//   UTF-16 units in a cell: a longer value is cut after its last whole
//   character that fits (onCellCut is told), more rows or columns fail with a
//   message saying so. Line ends in a value become LF (a line
//   break in the cell); U+FFFE and U+FFFF, which XML cannot carry, become U+FFFD.
//   A row of no value is kept as an empty row of the sheet. A cell of a date
//   column (TableOptions::dateColumns) that holds a date and time as
//   dateTimeText() writes it is a date-time cell shown the same way.
std::unique_ptr<TableWriter> makeTableWriter(TableFormat format, ByteSink& sink,
                                             const TableOptions& options = {});

// Finishes `writer`, then asks `options.beforeCommit`: what every road that
// writes a table returns just before the output is committed.
Status finishTable(TableWriter& writer, const TableOptions& options);

}  // namespace tabulon
