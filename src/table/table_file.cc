#include "table/table_file.h"

#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "table/line_table.h"

namespace tabulon {

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const std::string& outputPath, const FieldList& fields,
                          TableFormat format, const TableOptions& options,
                          const ProgressFn& progress) {
    if (isSameFile(outputPath, input.descriptor())) {
        return Status::Error("Cannot write \"" + outputPath + "\": it is the input file \"" +
                             inputName + "\"; choose another name for the output");
    }
    AtomicFile output;
    // Made again from its input at any time: not flushed before it replaces the
    // old file.
    Status status = output.open(outputPath, AtomicFile::Durability::kNoFlush);
    if (!status.ok()) return status;
    std::unique_ptr<TableWriter> writer = makeTableWriter(format, output, options);
    status = convertToTable(input, fields, *writer, progress);
    writer.reset();                   // a workbook's temporary file goes now
    if (!status.ok()) return status;  // and the unfinished output with `output`
    return output.commit();
}

}  // namespace tabulon
