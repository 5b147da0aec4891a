#include "mail/new_rows.h"

#include "table/table_append.h"
#include "table/table_output.h"

namespace tabulon {

Status NewRowsWriter::row(const std::vector<std::string>& cells) {
    const std::string& identity = rows_.lastIdentity();
    if (seen_.has(identity)) return Status::Ok();
    seen_.add(identity);
    return writer_.row(cells);
}

Status writeNewRows(const OutputTarget& output, TableFormat format, const TableOptions& options,
                    const std::vector<std::string>& columns, const MessageRows& rows,
                    SeenMessages& seen, const std::function<Status(TableWriter& writer)>& fill) {
    auto fillNew = [&](TableWriter& writer) {
        NewRowsWriter newRows(writer, rows, seen);
        return fill(newRows);
    };
    Status status = seen.tableExists()
                        ? appendTable(output.path(), format, options, columns, fillNew)
                        : writeTable(output, format, options, fillNew);
    // The record follows the table only once the table is committed.
    if (!status.ok()) return status;
    Status saved = seen.save();
    if (saved.ok()) return status;
    return Status::FileError(output.path(), "the new rows were added to \"" + output.path() +
                                                "\", but the record of them could not be kept (" +
                                                saved.message() +
                                                "); the next run with --new-only will refuse it");
}

}  // namespace tabulon
