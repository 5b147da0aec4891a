// The tsv format: UTF-8, cells separated by Tab, rows ended by LF, the header row
// holding the column titles. Tab, LF, CR and backslash inside a value are
// written as \t \n \r \\; a value a spreadsheet would run as a formula gets a
// leading "'" (see formula_guard.h).
#pragma once

#include "table/sink_buffer.h"
#include "table/table_writer.h"

namespace tabulon {

class TsvWriter : public TableWriter {
  public:
    explicit TsvWriter(ByteSink& sink) : out_(sink) {}
    Status begin(const std::vector<std::string>& names) override;
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return out_.flush(); }

  private:
    void appendCell(std::string_view value);

    SinkBuffer out_;
    std::string scratch_;
};

}  // namespace tabulon
