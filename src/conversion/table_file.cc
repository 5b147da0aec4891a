#include "conversion/table_file.h"

#include "conversion/line_table.h"
#include "output/table_sink.h"

namespace tabulon {

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const OutputTarget& output, const FieldList& fields, TableFormat format,
                          const TableOptions& options, const ProgressFn& progress) {
    Status status = output.refuseInput(input.descriptor(), inputName);
    if (!status.ok()) return status;
    return writeRows({output, format, options, {}, nullptr}, [&](TableSink& sink) {
        return convertToTable(input, fields, sink, progress);
    });
}

}  // namespace tabulon
