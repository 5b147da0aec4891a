#include "output/table_append.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "output/output_write.h"
#include "platform/file_source.h"
#include "table/xlsx_reader.h"
#include "table/xlsx_writer.h"

namespace tabulon {
namespace {

// Passes bytes on to `sink` but the first `skipped`: the header row a writer
// begins with, which the table already has.
class SkippingSink : public ByteSink {
  public:
    SkippingSink(ByteSink& sink, size_t skipped) : sink_(sink), skipped_(skipped) {}
    Status write(const char* data, size_t size) override {
        size_t drop = std::min(size, skipped_);
        skipped_ -= drop;
        return size == drop ? Status::Ok() : sink_.write(data + drop, size - drop);
    }

  private:
    ByteSink& sink_;
    size_t skipped_;
};

// The keys of a JSON object on one line, in order: the strings followed by ":".
std::vector<std::string> jsonKeys(std::string_view line) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        size_t end = i + 1;
        while (end < line.size() && line[end] != '"')
            end += line[end] == '\\' ? 2 : 1;
        if (end + 1 < line.size() && line[end + 1] == ':')
            keys.emplace_back(line.substr(i + 1, end - i - 1));
        i = end;
    }
    return keys;
}

// The table being added to, read as much as the check of its columns needs;
// its rows are copied later, a block at a time.
struct OldTable {
    std::unique_ptr<FileSource> file;
    std::string path;
    uint64_t size = 0;
    char last = 0;        // its last byte
    Status error;         // the first read that failed, with its cause
    std::string scratch;  // what begin() read

    // Up to `count` bytes from `offset` into `*bytes`; fewer at the end.
    Status readAt(uint64_t offset, size_t count, std::string* bytes) {
        bytes->resize(count);
        size_t got = 0;
        while (got < count) {
            ssize_t n = ::pread(file->descriptor(), bytes->data() + got, count - got,
                                static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errnoStatus("read", path, errno);
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        bytes->resize(got);
        return Status::Ok();
    }

    // The first `count` bytes, or the first line with its line end when `count`
    // is 0; "" (and `error` set) when they cannot be read.
    const std::string& begin(size_t count) {
        scratch.clear();
        if (count > 0) {
            error = readAt(0, static_cast<size_t>(std::min<uint64_t>(count, size)), &scratch);
        }
        std::string block;
        while (count == 0 && error.ok() && scratch.size() < size) {
            error = readAt(scratch.size(), 64 * 1024, &block);
            size_t end = block.find('\n');
            scratch.append(block, 0, end == std::string::npos ? block.size() : end + 1);
            if (end != std::string::npos || block.empty()) break;
        }
        if (!error.ok()) scratch.clear();
        return scratch;
    }
};

bool sameColumns(OldTable& table, TableFormat format, const TableOptions& options,
                 const std::vector<std::string>& columns, size_t* headerSize) {
    StringSink rendered;
    std::unique_ptr<TableWriter> writer = makeTableWriter(format, rendered, options);
    Status status = writer->begin(columns);
    if (formatInfo(format).addedTo == AddedTo::kAfterRowKeys) {
        // No header row: the keys of a row of this table say which columns it has.
        // The first rows count before any row of the old table.
        StringSink row;
        std::unique_ptr<TableWriter> rowWriter = makeTableWriter(format, row, options);
        if (status.ok()) status = rowWriter->begin(columns);
        if (status.ok()) status = rowWriter->row(std::vector<std::string>(columns.size()));
        if (status.ok()) status = rowWriter->finish();
        *headerSize = 0;
        if (table.size == 0) return status.ok();  // a table of no rows yet
        if (!status.ok()) return false;
        return jsonKeys(table.begin(0)) == jsonKeys(row.text.substr(0, row.text.find('\n'))) &&
               table.last == '\n';
    }
    if (status.ok()) status = writer->finish();
    const std::string& header = rendered.text;
    if (!status.ok() || header.empty()) return false;
    *headerSize = header.size();
    return table.begin(header.size()) == header && table.last == header.back();
}

constexpr char kUnchanged[] = "; nothing was changed";

// Begins the table with the rows of the old workbook, read as they are written.
class OldRowsFirst : public TableWriter {
  public:
    OldRowsFirst(TableWriter& writer, XlsxReader& old) : writer_(writer), old_(old) {}
    Status begin(const std::vector<std::string>& names) override {
        Status status = writer_.begin(names);
        std::vector<std::string> cells;
        bool end = false;
        while (status.ok()) {
            status = old_.next(&cells, &end);
            if (!status.ok()) return status.withMessage(status.message() + kUnchanged);
            if (end) break;
            status = writer_.row(cells);
        }
        return status;
    }
    Status row(const std::vector<std::string>& cells) override { return writer_.row(cells); }
    Status finish() override { return writer_.finish(); }

  private:
    TableWriter& writer_;
    XlsxReader& old_;
};

// Whether the header row read from a workbook is the one `columns` make.
bool sameTitles(std::vector<std::string> header, const std::vector<std::string>& columns) {
    std::vector<std::string> titles(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
        workbookCell(columnTitle(columns[i]), &titles[i]);
    while (!titles.empty() && titles.back().empty())
        titles.pop_back();
    return header == titles;
}

Status otherColumns(const std::string& path, const TableOptions& options) {
    return Status::FileError(Status::Code::kInvalidArgument, path,
                             "Cannot add rows to \"" + path +
                                 "\": its columns are not this conversion's (" +
                                 options.otherColumnsAdvice + ")" + kUnchanged);
}

// The first `size` bytes of `table`, a block at a time.
Status copyOldTable(OldTable& table, uint64_t size, ByteSink& sink) {
    std::string block;
    for (uint64_t done = 0; done < size;) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(size - done, 1 << 20));
        Status status = table.readAt(done, want, &block);
        if (status.ok() && block.size() != want) {
            status = Status::FileError(
                Status::Code::kIoError, table.path,
                "Cannot read \"" + table.path + "\": it grew shorter while being read");
        }
        if (!status.ok()) return status.withMessage(status.message() + kUnchanged);
        status = sink.write(block.data(), want);
        if (!status.ok()) return status;
        done += want;
    }
    return Status::Ok();
}

// The workbook at `path` written again: its rows, then the new ones.
Status appendWorkbook(const std::string& path, TableFormat format, const TableOptions& options,
                      const std::vector<std::string>& columns,
                      const std::function<Status(TableWriter& writer)>& fill,
                      const CommitSteps* steps) {
    XlsxReader old;
    std::vector<std::string> header;
    bool end = false;
    Status status = old.open(path);
    if (status.ok()) status = old.next(&header, &end);
    if (!status.ok()) return Status::FileError(status.code(), path, status.message() + kUnchanged);
    if (end || !sameTitles(header, columns)) return otherColumns(path, options);
    return writeOutput(
        OutputTarget::file(path),
        [&](ByteSink& sink) {
            std::unique_ptr<TableWriter> writer = makeTableWriter(format, sink, options);
            OldRowsFirst rows(*writer, old);
            Status status = fill(rows);
            if (status.ok()) status = finishTable(*writer, options);
            return status;
        },
        steps);
}

}  // namespace

Status appendTable(const std::string& path, TableFormat format, const TableOptions& options,
                   const std::vector<std::string>& columns,
                   const std::function<Status(TableWriter& writer)>& fill,
                   const CommitSteps* steps) {
    if (formatInfo(format).addedTo == AddedTo::kReadBack)
        return appendWorkbook(path, format, options, columns, fill, steps);
    OldTable table;
    table.path = path;
    Status opened = FileSource::open(path, &table.file);
    if (opened.ok()) {
        table.size = table.file->size();
        std::string last;
        if (table.size > 0) opened = table.readAt(table.size - 1, 1, &last);
        if (!last.empty()) table.last = last[0];
    }
    if (!opened.ok()) return opened.withMessage(opened.message() + kUnchanged);
    size_t headerSize = 0;
    bool same = sameColumns(table, format, options, columns, &headerSize);
    if (!table.error.ok()) return table.error.withMessage(table.error.message() + kUnchanged);
    if (!same) return otherColumns(path, options);
    OutputTarget target = OutputTarget::file(path);
    return writeOutput(
        target,
        [&](ByteSink& sink) {
            Status status = copyOldTable(table, table.size, sink);
            if (!status.ok()) return status;
            SkippingSink rows(sink, headerSize);
            std::unique_ptr<TableWriter> writer = makeTableWriter(format, rows, options);
            status = fill(*writer);
            if (status.ok()) status = finishTable(*writer, options);
            return status;
        },
        steps);
}

}  // namespace tabulon
