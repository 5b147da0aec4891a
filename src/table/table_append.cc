#include "table/table_append.h"

#include <algorithm>
#include <fstream>

#include "conversion/output_write.h"
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
    std::ifstream in;
    uint64_t size = 0;
    char last = 0;  // its last byte

    // The first `count` bytes, or the first line with its line end when `count` is 0.
    std::string begin(size_t count) {
        std::string text;
        in.clear();
        in.seekg(0);
        if (count > 0) {
            text.resize(static_cast<size_t>(std::min<uint64_t>(count, size)));
            in.read(text.data(), static_cast<std::streamsize>(text.size()));
        } else if (std::getline(in, text)) {
            text += '\n';
        }
        return text;
    }
};

bool sameColumns(OldTable& table, TableFormat format, const TableOptions& options,
                 const std::vector<std::string>& columns, size_t* headerSize) {
    StringSink rendered;
    std::unique_ptr<TableWriter> writer = makeTableWriter(format, rendered, options);
    Status status = writer->begin(columns);
    if (format == TableFormat::kJsonl) {
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
            if (!status.ok())
                return Status::FileError(status.file(), status.message() + kUnchanged);
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
    return Status::FileError(path, "Cannot add rows to \"" + path +
                                       "\": its columns are not this conversion's (" +
                                       options.otherColumnsAdvice + ")" + kUnchanged);
}

// The first `size` bytes of the table open as `in`, a block at a time.
Status copyOldTable(std::ifstream& in, const std::string& path, uint64_t size, ByteSink& sink) {
    std::vector<char> block(1 << 20);
    in.clear();
    in.seekg(0);
    while (size > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(size, block.size()));
        in.read(block.data(), static_cast<std::streamsize>(want));
        if (static_cast<size_t>(in.gcount()) != want) {
            return Status::FileError(path, "Cannot read \"" + path + "\"" + kUnchanged);
        }
        Status status = sink.write(block.data(), want);
        if (!status.ok()) return status;
        size -= want;
    }
    return Status::Ok();
}

// The workbook at `path` written again: its rows, then the new ones.
Status appendWorkbook(const std::string& path, const TableOptions& options,
                      const std::vector<std::string>& columns,
                      const std::function<Status(TableWriter& writer)>& fill,
                      const CommitSteps* steps) {
    XlsxReader old;
    std::vector<std::string> header;
    bool end = false;
    Status status = old.open(path);
    if (status.ok()) status = old.next(&header, &end);
    if (!status.ok()) return Status::FileError(path, status.message() + kUnchanged);
    if (end || !sameTitles(header, columns)) return otherColumns(path, options);
    return writeOutput(
        OutputTarget::file(path),
        [&](ByteSink& sink) {
            std::unique_ptr<TableWriter> writer =
                makeTableWriter(TableFormat::kXlsx, sink, options);
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
    if (format == TableFormat::kXlsx) return appendWorkbook(path, options, columns, fill, steps);
    OldTable table;
    table.in.open(path, std::ios::binary | std::ios::ate);
    if (table.in.is_open()) {
        table.size = static_cast<uint64_t>(table.in.tellg());
        if (table.size > 0) table.in.seekg(-1, std::ios::end).get(table.last);
    }
    if (!table.in.is_open() || table.in.bad()) {
        return Status::FileError(path, "Cannot read \"" + path + "\"");
    }
    size_t headerSize = 0;
    if (!sameColumns(table, format, options, columns, &headerSize))
        return otherColumns(path, options);
    OutputTarget target = OutputTarget::file(path);
    return writeOutput(
        target,
        [&](ByteSink& sink) {
            Status status = copyOldTable(table.in, path, table.size, sink);
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
