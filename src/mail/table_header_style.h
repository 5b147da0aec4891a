// How a table made before writes its header columns' dates and addresses, so
// that rows added to it (--new-only, "Only new messages") write theirs alike:
// never two styles in one column.
#pragma once

#include <string>
#include <vector>

#include "mail/header_cell.h"
#include "output/table_format.h"

namespace tabulon {

// The style of the table at `path` in `format`, whose first columns are the
// header columns `headerNames`, read from its first rows. Its dates: from the
// first cell of a date column (isDateColumn()) that says it, a date as
// dateTimeText() writes it (a workbook's date cells read so) or a date as mail
// writes it. Its addresses: as written when a cell of an address column
// (isAddressColumn()) begins with a quoted name ("\"Tim Chapman\" <...>").
// What no cell says (a table of no rows, no such column, a table that cannot
// be read: adding to it then says why) is as `wanted`.
HeaderStyle tableHeaderStyle(const std::string& path, TableFormat format,
                             const std::vector<std::string>& headerNames, HeaderStyle wanted);

}  // namespace tabulon
