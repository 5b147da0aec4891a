#include "conversion/line_table.h"

#include <algorithm>
#include <memory>

#include "conversion/field_matcher.h"
#include "platform/line_scanner.h"

namespace tabulon {
namespace {

constexpr size_t kInputBlock = 64 * 1024;

// Gathers the cells of the current row from the input's lines, piece by piece:
// a line's entry is decided from its first bytes, then only a matching line's
// value is kept.
class RowBuilder {
  public:
    RowBuilder(const FieldMatcher& matcher, TableWriter& writer)
        : matcher_(matcher), writer_(writer) {}

    void operator()(const char* data, size_t size, bool endsLine) {
        if (!status_.ok()) return;
        if (!decided_) {
            size_t need = matcher_.longestEntry();
            size_t take = std::min(size, need - prefix_.size());
            prefix_.append(data, take);
            data += take;
            size -= take;
            if (prefix_.size() < need && !endsLine) return;
            decided_ = true;
            match_ = matcher_.match(prefix_.data(), prefix_.size());
            if (match_ >= 0) value_.assign(prefix_, matcher_.entryLength(match_));
        }
        if (match_ >= 0) value_.append(data, size);
        if (endsLine) endLine();
    }

    // Writes the unfinished row, if any.
    Status finish() {
        if (status_.ok() && !row_.empty()) status_ = writer_.row(row_);
        return status_;
    }
    const Status& status() const { return status_; }

  private:
    void endLine() {
        if (match_ >= 0) {
            row_.push_back(std::move(value_));
            if (matcher_.isLastEntry(match_)) {
                status_ = writer_.row(row_);
                row_.clear();
            }
        }
        value_.clear();
        prefix_.clear();
        decided_ = false;
        match_ = -1;
    }

    const FieldMatcher& matcher_;
    TableWriter& writer_;
    std::string prefix_;  // the line's first bytes while its entry is undecided
    std::string value_;   // the matching line's value so far
    bool decided_ = false;
    int match_ = -1;
    std::vector<std::string> row_;
    Status status_;
};

}  // namespace

Status convertToTable(ByteSource& input, const FieldList& fields, TableWriter& writer,
                      const ProgressFn& progress) {
    Status status = writer.begin(fields);
    if (!status.ok()) return status;
    FieldMatcher matcher(fields);
    RowBuilder rows(matcher, writer);
    LineScanner scanner;
    std::unique_ptr<char[]> block(new char[kInputBlock]);
    uint64_t total = input.size();
    uint64_t bytesRead = 0;
    for (;;) {
        size_t count = 0;
        status = input.read(block.get(), kInputBlock, &count);
        if (!status.ok()) return status;
        if (count == 0) break;
        scanner.feed(block.get(), count, rows);
        if (!rows.status().ok()) return rows.status();
        bytesRead += count;
        if (progress) progress(bytesRead, total);
    }
    scanner.finish(rows);
    status = rows.finish();
    if (!status.ok()) return status;
    if (progress) progress(bytesRead, total);
    return Status::Ok();
}

}  // namespace tabulon
