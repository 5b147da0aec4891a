// The line conversion from an input file to a table file in any format.
// The output appears only when complete (it replaces any older file of that name
// at once); after a failure the output path holds what it held before. An
// output path that names the input is refused.
#pragma once

#include <string>

#include "conversion/converter.h"
#include "platform/file_source.h"
#include "table/table_writer.h"

namespace tabulon {

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const std::string& outputPath, const FieldList& fields,
                          TableFormat format, const TableOptions& options = {},
                          const ProgressFn& progress = {});

}  // namespace tabulon
