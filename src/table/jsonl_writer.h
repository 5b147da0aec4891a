// The jsonl format, for scripts: one JSON object per row, on a line of its own
// ended by LF, mapping each column's title to the cell's text. Values are exact
// (no formula guard: no spreadsheet opens this format). Keys: the column
// titles, a repeated title numbered ("Name", "Name 2"); cells beyond the header
// keyed "column N" (N counted from 1); a short row has fewer keys. The header
// row itself is not written.
#pragma once

#include <unordered_set>

#include "table/sink_buffer.h"
#include "table/table_writer.h"

namespace tabulon {

class JsonlWriter : public TableWriter {
  public:
    explicit JsonlWriter(ByteSink& sink) : out_(sink) {}
    Status begin(const std::vector<std::string>& names) override;
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override { return out_.flush(); }

  private:
    // Adds the key for the next column, unique among those already taken.
    void addKey(const std::string& title);

    SinkBuffer out_;
    std::vector<std::string> keys_;  // already JSON strings, quotes included
    std::unordered_set<std::string> taken_;
    std::string valid_;  // the cell being written, as valid UTF-8
};

}  // namespace tabulon
