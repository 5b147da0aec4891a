// The first rows of a table Tabulon wrote, read back as cells: what a table
// that rows are added to already says (how its header columns are written).
#pragma once

#include <string>
#include <vector>

#include "output/table_format.h"

namespace tabulon {

// The first rows of the table at `path` in `format` after its header row (a
// few hundred at most), cells as written; a jsonl row's cells are the values
// of the keys the titles of `headerNames` make. None when the table cannot be
// read.
std::vector<std::vector<std::string>> firstTableRows(const std::string& path, TableFormat format,
                                                     const std::vector<std::string>& headerNames);

}  // namespace tabulon
