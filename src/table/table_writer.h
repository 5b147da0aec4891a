// Writes a table in one output format: a header row of column names, then rows of
// cells. Both conversions write through it; one class per format implements it,
// made by the writers' registry (output/table_writers.h).
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

}  // namespace tabulon
