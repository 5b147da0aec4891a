#include "mail/new_rows.h"

#include "mail/table_header_style.h"
#include "table/table_append.h"
#include "table/table_output.h"

namespace tabulon {

Status NewRowsWriter::row(const std::vector<std::string>& cells) {
    const std::string& identity = rows_.lastIdentity();
    if (seen_.has(identity)) {
        rows_.countHeld();
        return Status::Ok();
    }
    seen_.add(identity);
    return writer_.row(cells);
}

Status writeNewRows(const OutputTarget& output, TableFormat format, const TableOptions& options,
                    const std::vector<std::string>& columns, MessageRows& rows, SeenMessages& seen,
                    const std::function<Status(TableWriter& writer)>& fill) {
    auto fillNew = [&](TableWriter& writer) {
        NewRowsWriter newRows(writer, rows, seen);
        return fill(newRows);
    };
    const CommitSteps& steps = seen.commitSteps();
    if (!seen.tableExists()) return writeTable(output, format, options, fillNew, &steps);
    // The rows added write their header columns as the table's rows do.
    const std::vector<std::string>& headers = rows.options().headers;
    HeaderStyle style =
        tableHeaderStyle(output.path(), format, headers, rows.options().headerStyle);
    rows.useHeaderStyle(style);
    TableOptions adding = options;
    adding.dateColumns = dateColumnsOf(headers, style.dates);
    return appendTable(output.path(), format, adding, columns, fillNew, &steps);
}

}  // namespace tabulon
