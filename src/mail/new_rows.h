// Only the new messages: rows go into a table only for messages its record
// (SeenMessages) does not hold, the table is added to when it exists, and the
// table and its record are committed together, the one place both the command
// line and the app do so.
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
// given twice becomes one row); the others are counted in `rows` as held
// already. `rows` must identify messages.
class NewRowsWriter : public TableWriter {
  public:
    NewRowsWriter(TableWriter& writer, MessageRows& rows, SeenMessages& seen)
        : writer_(writer), rows_(rows), seen_(seen) {}
    Status begin(const std::vector<std::string>& names) override { return writer_.begin(names); }
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return writer_.finish(); }

  private:
    TableWriter& writer_;
    MessageRows& rows_;
    SeenMessages& seen_;
};

// Writes the rows `fill` gives (it begins the table with `columns`) into
// `output`, keeping only messages `seen` (loaded for `output`) lacks: added to
// the table when it exists, else a new table; rows added to a table write
// their header columns in its style (tableHeaderStyle()). `seen` is committed with the
// table (SeenMessages::commitSteps()).
Status writeNewRows(const OutputTarget& output, TableFormat format, const TableOptions& options,
                    const std::vector<std::string>& columns, MessageRows& rows, SeenMessages& seen,
                    const std::function<Status(TableWriter& writer)>& fill);

}  // namespace tabulon
