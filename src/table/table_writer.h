// Writes a table in one output format: a header row of column names, then rows of
// cells. Both conversions write through it; one class per format implements it.
// Not thread-safe: one writer belongs to one run on one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_stream.h"
#include "platform/status.h"
#include "table/table_format.h"

namespace tabulon {

// A column's title in the formats that show names as titles (all but tab): the
// name without its trailing colon and the blanks around that colon ("E-mail :"
// becomes "E-mail").
std::string columnTitle(std::string_view name);

// The most a workbook cell holds, in UTF-16 units as Excel counts them.
inline constexpr size_t kWorkbookCellLimit = 32767;

struct TableOptions {
    // csv: start with a UTF-8 byte-order mark, which Excel needs to read UTF-8.
    bool byteOrderMark = false;
    // xlsx: told of each value cut at kWorkbookCellLimit, with its column
    // (counted from 0), while the row holding it is written.
    std::function<void(size_t column)> onCellCut = nullptr;
    // xlsx: told, from a thread of the writer's own, how far the writing of the
    // workbook after its last row has come: `done` of about `total` bytes.
    std::function<void(uint64_t done, uint64_t total)> onFinishing = nullptr;
    // Asked once the table is complete, just before it replaces the output: any
    // status but ok (a save stopped meanwhile) leaves the output as it was.
    std::function<Status()> beforeCommit = nullptr;
    // xlsx: the columns (counted from 0) whose cells of the shape
    // "2026-11-30 09:14:02" (date_time_text.h) are date-time cells, so that a
    // spreadsheet sorts and filters them as dates; their other cells stay text.
    std::vector<bool> dateColumns = {};
    // What a refusal to add rows to a table of other columns advises.
    std::string otherColumnsAdvice = "another template, --headers or --format?";
};

class TableWriter {
  public:
    virtual ~TableWriter() = default;
    // Called once, first. `names` are the columns as their template or header
    // names them (a template's names keep their trailing colon; each format
    // decides how to show them).
    virtual Status begin(const std::vector<std::string>& names) = 0;
    // One row; cells are UTF-8 text and may hold any character, line ends too.
    // A row may have fewer or more cells than there are names.
    virtual Status row(const std::vector<std::string>& cells) = 0;
    // Called once, last; nothing is complete in the sink before it returns ok.
    virtual Status finish() = 0;
};

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
