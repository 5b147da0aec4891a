// The tab format: the line conversion's bytes. Each cell is followed by Tab,
// a row's last cell by CR; the header row holds the names as they are. A Tab, CR
// or LF inside a value becomes a blank so that a row stays a row, any other C0
// control U+FFFD; all other bytes are copied untouched.
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
