// The one way a conversion writes a table. It says where the table goes and in
// which format (TableRequest), enters writeRows() once, and hands the sink it
// is given the header and then the rows, each with its message's key. The
// sink makes the format's writer, writes the table whole or not at all, adds
// to the table that is there when only new rows are kept, and commits the
// record of the rows it added with the table.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "output/output_plan.h"
#include "output/seen_messages.h"
#include "output/table_format.h"
#include "table/table_writer.h"

namespace tabulon {

struct TableRequest {
    OutputTarget target = OutputTarget::standardOutput();
    TableFormat format = TableFormat::kTab;
    TableOptions options;
    // The header the rows begin with; checked against the table's own when rows
    // are added to it.
    std::vector<std::string> columns;
    // Only new rows: the record loaded for `target` (SeenMessages::load()). A row
    // whose key it holds is left out; the table is added to when it exists, else
    // written whole, and the record is committed with it.
    SeenMessages* newOnly = nullptr;

    // Whether rows are added to a table that is there.
    bool addsToTable() const { return newOnly != nullptr && newOnly->tableExists(); }
};

// Where the rows go. As a TableWriter it takes the header (begin()) and rows
// that are always written; finish() is the sink's own, after `fill`.
class TableSink : public TableWriter {
  public:
    // The row of the message `key`: written and recorded unless the record of
    // only new rows holds `key` (or `olderKey`, the form an older record kept
    // of it); `*added` says which. Without that record every row is written.
    virtual Status keyedRow(const std::vector<std::string>& cells, std::string_view key,
                            std::string_view olderKey, bool* added) = 0;
    // Whether rows are checked against a record: without one, row() does what
    // keyedRow() would.
    virtual bool keepsRecord() const = 0;
};

// Writes the table `request` describes with the rows `fill` hands its sink
// (begin() first). A failure leaves the output and its record as they were.
Status writeRows(const TableRequest& request, const std::function<Status(TableSink& sink)>& fill);

}  // namespace tabulon
