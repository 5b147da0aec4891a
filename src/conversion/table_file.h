// The line conversion from an input file to a table in any format, written
// through the table sink (output/table_sink.h): a file appears only when
// complete; after a failure its path holds what it held before. An output
// that is the input is refused.
#pragma once

#include <string>

#include "conversion/converter.h"
#include "output/output_plan.h"
#include "output/table_format.h"
#include "platform/file_source.h"
#include "table/table_writer.h"

namespace tabulon {

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const OutputTarget& output, const FieldList& fields, TableFormat format,
                          const TableOptions& options = {}, const ProgressFn& progress = {});

}  // namespace tabulon
