// Only the new messages, as the mail conversions keep them: each row goes to
// the table's sink keyed by its message's identity, a row the table holds
// already counts in the report as held, and rows added to a table write their
// header columns in its style. The sink (output/table_sink.h) does the rest,
// the one place both the command line and the app write a table.
#pragma once

#include <string>
#include <vector>

#include "mail/message_conversion.h"
#include "output/table_sink.h"

namespace tabulon {

// Hands each row on to `sink` keyed by the identity of its message
// (MessageRows::lastIdentity()); a row the table holds already is counted in
// `rows` as held instead.
class MessageRowsWriter : public TableWriter {
  public:
    MessageRowsWriter(TableSink& sink, MessageRows& rows) : sink_(sink), rows_(rows) {}
    Status begin(const std::vector<std::string>& names) override { return sink_.begin(names); }
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return sink_.finish(); }

  private:
    TableSink& sink_;
    MessageRows& rows_;
};

// Whether `seen` (when given) holds the message of the row `rows` hands on next.
bool tableHolds(const SeenMessages* seen, const MessageRows& rows);

// When `request` adds to a table, the rows of `rows` write their header
// columns as the table's rows do (tableHeaderStyle()), dates in its date
// columns included.
void followTableStyle(TableRequest& request, MessageRows& rows);

}  // namespace tabulon
