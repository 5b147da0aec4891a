// Writes a table in one output format: a header row of column names, then rows of
// cells. Both conversions write through it; one class per format implements it.
// Not thread-safe: one writer belongs to one run on one thread.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_stream.h"
#include "platform/status.h"

namespace tabulon {

enum class TableFormat { kTab, kTsv, kCsv, kXlsx, kJsonl };

// "tab", "tsv", "csv", "xlsx", "jsonl"; nothing for any other text.
std::optional<TableFormat> parseTableFormat(std::string_view name);

// The name parseTableFormat takes.
std::string_view formatName(TableFormat format);

// What an output of this format is named after its input: ".csv", ".xlsx", ...
// (empty for tab, whose outputs keep the name without an extension).
std::string_view formatExtension(TableFormat format);

struct TableOptions {
    // csv: start with a UTF-8 byte-order mark, which Excel needs to read UTF-8.
    bool byteOrderMark = false;
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
std::unique_ptr<TableWriter> makeTableWriter(TableFormat format, ByteSink& sink,
                                             const TableOptions& options = {});

}  // namespace tabulon
