// Adds rows to a table file that already holds a table of the same columns,
// whole or not at all: the old content and the new rows go to a new file that
// replaces the old one only when complete. How, each format's entry says
// (FormatInfo::addedTo): a workbook (xlsx) is written anew, its rows read back
// first (xlsx_reader.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "output/output_write.h"
#include "output/table_writers.h"

namespace tabulon {

// Checks that the table at `path` begins with the header row `columns` make in
// `format` (for jsonl: its first row has their keys, in order; for xlsx: its
// first row is their titles) and ends with a whole row; then `fill` begins the
// table with `columns` and writes the new rows, as for writeTable(), the header
// row it begins with left out (a workbook's old rows follow it). A table
// that does not match is refused, naming the file, before `fill` runs. The old
// table is copied a block at a time, never held whole. `steps` commit a record
// with the file (writeOutput()).
Status appendTable(const std::string& path, TableFormat format, const TableOptions& options,
                   const std::vector<std::string>& columns,
                   const std::function<Status(TableWriter& writer)>& fill,
                   const CommitSteps* steps = nullptr);

}  // namespace tabulon
