// Writes one table into one output, whole or not at all: the output is opened
// by writeOutput (a file appears only when complete), the format's writer is
// made for it, `fill` writes the header and the rows, and the table is finished
// before the output is committed. Every conversion that writes a table goes
// through here.
#pragma once

#include <functional>

#include "output/output_plan.h"
#include "output/output_write.h"
#include "output/table_writers.h"

namespace tabulon {

// A failure of the writer that does not name the output (a workbook's temporary
// folder filling up) is told as a failure to write the output. A binary format
// is refused on a standard output that is a terminal, before anything is read.
// `steps` commit a record with the file (writeOutput()).
Status writeTable(const OutputTarget& target, TableFormat format, const TableOptions& options,
                  const std::function<Status(TableWriter& writer)>& fill,
                  const CommitSteps* steps = nullptr);

}  // namespace tabulon
