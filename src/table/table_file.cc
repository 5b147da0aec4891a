#include "table/table_file.h"

#include "table/line_table.h"
#include "table/table_output.h"

namespace tabulon {

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const OutputTarget& output, const FieldList& fields, TableFormat format,
                          const TableOptions& options, const ProgressFn& progress) {
    Status status = output.refuseInput(input.descriptor(), inputName);
    if (!status.ok()) return status;
    return writeTable(output, format, options, [&](TableWriter& writer) {
        return convertToTable(input, fields, writer, progress);
    });
}

}  // namespace tabulon
