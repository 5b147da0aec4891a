// The tab format of the message conversion and the preview's save: the line
// conversion's layout (each cell followed by Tab, a row's last cell by CR; the
// header row holds the names as they are), for tables from mail. A Tab, CR or LF
// inside a value becomes a blank so that a row stays a row, any other C0 control
// U+FFFD; a value a spreadsheet would run as a formula gets a leading "'" (see
// formula_guard.h); all other bytes are copied untouched. The line conversion
// itself writes through its engine, not through this writer, and guards nothing.
#pragma once

#include "table/sink_buffer.h"
#include "table/table_writer.h"

namespace tabulon {

class TabWriter : public TableWriter {
  public:
    explicit TabWriter(ByteSink& sink) : out_(sink) {}
    Status begin(const std::vector<std::string>& names) override;
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return out_.flush(); }

  private:
    SinkBuffer out_;
};

}  // namespace tabulon
