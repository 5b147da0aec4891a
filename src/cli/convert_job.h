// One input of tabulon-convert: "-" stands for standard input or output, any
// other name for a file; progress goes to the terminal when asked.
#pragma once

#include <string>

#include "platform/status.h"
#include "table/table_writer.h"
#include "templates/field_list.h"

namespace tabulon {

// Status::BrokenPipe() when standard output was closed by its reader. The tab
// format goes through the byte engine, the others through a table writer.
Status runConvertJob(const std::string& input, const std::string& output, const FieldList& fields,
                     TableFormat format, const TableOptions& table, bool showProgress);

}  // namespace tabulon
