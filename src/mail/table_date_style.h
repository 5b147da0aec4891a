// How a table made before writes its dates, so that rows added to it
// (--new-only, "Only new messages") write theirs alike: never two styles in
// one column.
#pragma once

#include <string>
#include <vector>

#include "mail/header_cell.h"
#include "table/table_format.h"

namespace tabulon {

// The date style of the table at `path` in `format`, whose first columns are the
// header columns `headerNames`: read from the first cells of its date columns
// (isDateColumn()) that say it, a date as dateTimeText() writes it (a workbook's
// date cells read so) or a date as mail writes it. `wanted` when no cell says it
// (a table of no rows, or no date column), or the table cannot be read (adding
// to it then says why).
DateStyle tableDateStyle(const std::string& path, TableFormat format,
                         const std::vector<std::string>& headerNames, DateStyle wanted);

}  // namespace tabulon
