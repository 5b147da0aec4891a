#include "conversion/converter.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "conversion/field_matcher.h"
#include "conversion/output_buffer.h"
#include "platform/line_scanner.h"

namespace tabulon {
namespace {

constexpr size_t kInputBlock = 64 * 1024;
constexpr size_t kOutputBlock = 256 * 1024;
// Bytes past the end of each block that may be read (input) or written (output)
// by fixed-size copies and compares.
constexpr size_t kSlack = 64;
static_assert(kSlack >= FieldMatcher::kReadAhead);

// Per-line state of a run: which entry the current line matches, decided as soon
// as enough of the line has been seen, and how far into the line we are. What it
// writes for a line must equal checkline() of the whole line: the same rule,
// applied without holding the line.
class LineConverter {
  public:
    LineConverter(const FieldMatcher& matcher, OutputBuffer& out) : matcher_(matcher), out_(out) {
        carry_.reserve(matcher.longestEntry());
    }

    // REQUIRES: data[0, size + kSlack) is readable when size > 0.
    void operator()(const char* data, size_t size, bool endsLine) {
        if (endsLine && size > 0 && !decided_ && carry_.empty()) return wholeLine(data, size);
        if (!decided_) {
            size_t need = matcher_.longestEntry();
            if (carry_.empty() && (endsLine || size >= need)) {
                decide(data, size);
            } else {
                size_t take = std::min(size, need - carry_.size());
                carry_.append(data, take);
                data += take;
                size -= take;
                if (carry_.size() < need && !endsLine) return;
                decide(carry_.data(), carry_.size());
                emit(data, size);
            }
        } else {
            emit(data, size);
        }
        if (endsLine) endLine();
    }

  private:
    // A non-empty line seen whole at once, as most are: no state to keep.
    void wholeLine(const char* data, size_t size) {
        int match = matcher_.matchPadded(data, size);
        if (match < 0) return;
        size_t skip = matcher_.entryLength(match);
        char separator = matcher_.isLastEntry(match) ? '\r' : '\t';
        if (size == skip) return out_.append(separator);
        out_.appendValue(data + skip, size - skip, separator);
    }

    // Settles the match from the line's first bytes and emits those bytes' share.
    void decide(const char* prefix, size_t size) {
        decided_ = true;
        match_ = matcher_.match(prefix, size);
        emit(prefix, size);
    }

    // Emits the value part (the bytes after the matched entry) of the next `size`
    // bytes of the line.
    void emit(const char* data, size_t size) {
        uint64_t start = offset_;
        offset_ += size;
        if (match_ < 0) return;
        uint64_t skip = matcher_.entryLength(match_);
        if (offset_ <= skip) return;
        size_t from = start >= skip ? 0 : static_cast<size_t>(skip - start);
        out_.append(data + from, size - from);
    }

    void endLine() {
        if (match_ >= 0) out_.append(matcher_.isLastEntry(match_) ? '\r' : '\t');
        decided_ = false;
        match_ = -1;
        offset_ = 0;
        carry_.clear();
    }

    const FieldMatcher& matcher_;
    OutputBuffer& out_;
    std::string carry_;  // the line's first bytes while the match is undecided
    bool decided_ = false;
    int match_ = -1;
    uint64_t offset_ = 0;  // bytes of the current line passed so far
};

}  // namespace

std::string headerRow(const FieldList& fields) {
    std::string row;
    for (size_t i = 0; i < fields.size(); ++i) {
        row += fields[i];
        row += (i + 1 == fields.size()) ? '\r' : '\t';
    }
    return row;
}

int progressPercent(uint64_t bytesRead, uint64_t totalBytes) {
    if (totalBytes == 0 || bytesRead >= totalBytes) return 100;
    return static_cast<int>(static_cast<double>(bytesRead) / static_cast<double>(totalBytes) *
                            100.0);
}

Status convert(ByteSource& input, const FieldList& fields, ByteSink& output,
               const ProgressFn& progress) {
    FieldMatcher matcher(fields);
    OutputBuffer out(output, kOutputBlock, kSlack);
    std::string header = headerRow(fields);
    out.append(header.data(), header.size());

    LineConverter lines(matcher, out);
    LineScanner scanner;
    std::unique_ptr<char[]> block(new char[kInputBlock + kSlack]);
    uint64_t total = input.size();
    uint64_t bytesRead = 0;
    for (;;) {
        size_t count = 0;
        Status status = input.read(block.get(), kInputBlock, &count);
        if (!status.ok()) return status;
        if (count == 0) break;
        // What is read past the bytes (and never used) is then defined.
        std::memset(block.get() + count, 0, kSlack);
        scanner.feed(block.get(), count, lines);
        if (!out.status().ok()) return out.status();
        bytesRead += count;
        if (progress) progress(bytesRead, total);
    }
    scanner.finish(lines);
    Status written = out.finish();
    if (!written.ok()) return written;
    if (progress) progress(bytesRead, total);
    return Status::Ok();
}

}  // namespace tabulon
