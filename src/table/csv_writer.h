// The csv format of RFC 4180: UTF-8, cells separated by commas, rows ended by
// CR LF, a cell quoted when it holds a comma, semicolon, Tab, quote or line end
// (so neither a multi-line value nor a spreadsheet guessing the delimiter splits
// a cell), the header row holding the column titles.
// Optionally starts with a byte-order mark. A value a spreadsheet would run as a
// formula gets a leading "'" (see formula_guard.h).
#pragma once

#include "table/sink_buffer.h"
#include "table/table_writer.h"

namespace tabulon {

class CsvWriter : public TableWriter {
  public:
    CsvWriter(ByteSink& sink, const TableOptions& options) : out_(sink), options_(options) {}
    Status begin(const std::vector<std::string>& names) override;
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return out_.flush(); }

  private:
    void appendCell(std::string_view value);

    SinkBuffer out_;
    TableOptions options_;
    std::string scratch_;
};

}  // namespace tabulon
