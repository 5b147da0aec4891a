// Only the new messages: rows go into a table only for messages its record
// (SeenMessages) does not hold, the table is added to when it exists, and the
// record follows the table once the table is committed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "conversion/output_plan.h"
#include "mail/message_conversion.h"
#include "mail/seen_messages.h"
#include "table/table_writer.h"

namespace tabulon {

// Passes on the rows of messages `seen` lacks, and adds them to it (a message
// given twice becomes one row). `rows` must identify messages.
class NewRowsWriter : public TableWriter {
  public:
    NewRowsWriter(TableWriter& writer, const MessageRows& rows, SeenMessages& seen)
        : writer_(writer), rows_(rows), seen_(seen) {}
    Status begin(const std::vector<std::string>& names) override { return writer_.begin(names); }
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return writer_.finish(); }

  private:
    TableWriter& writer_;
    const MessageRows& rows_;
    SeenMessages& seen_;
};

// Writes the rows `fill` gives (it begins the table with `columns`) into
// `output`, keeping only messages `seen` (loaded for `output`) lacks: added to
// the table when it exists, else a new table. Once the table is committed,
// `seen` is saved; a record that cannot be kept is an error naming the table.
Status writeNewRows(const OutputTarget& output, TableFormat format, const TableOptions& options,
                    const std::vector<std::string>& columns, const MessageRows& rows,
                    SeenMessages& seen, const std::function<Status(TableWriter& writer)>& fill);

}  // namespace tabulon
