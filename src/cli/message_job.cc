#include "cli/message_job.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "cli/progress_line.h"
#include "mail/message_conversion.h"
#include "mail/template_guess.h"
#include "platform/atomic_file.h"
#include "platform/fd_sink.h"
#include "platform/file_info.h"
#include "platform/file_source.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;

std::string displayName(const std::string& path) {
    return path == "-" ? "standard input" : path;
}

Status openInput(const std::string& path, std::unique_ptr<FileSource>* source) {
    if (path == "-") {
        *source = FileSource::fromDescriptor(STDIN_FILENO, displayName(path));
        return Status::Ok();
    }
    return FileSource::open(path, source);
}

Status refuseInputAsOutput(const std::string& output, const FileSource& input,
                           const std::string& inputName) {
    if (output != "-" && isSameFile(output, input.descriptor())) {
        return Status::Error("Cannot write \"" + output + "\": it is the input file \"" +
                             inputName + "\"; choose another name for the output");
    }
    return Status::Ok();
}

// The message whose row is being written, for a warning about one of its cells.
struct RowPlace {
    std::string input;
    uint64_t message = 0;  // counted from 1 in each input
};

// Says on standard error (also with --quiet: a value was lost) that a cell of the
// row at `place` was cut at a workbook's limit.
void warnCellCut(const RowPlace& place, const std::vector<std::string>& columns, size_t column) {
    std::string name = column < columns.size() ? columnTitle(columns[column])
                                               : "column " + std::to_string(column + 1);
    std::string where = place.message == 0
                            ? std::string("the header row")
                            : shownText(place.input) + ", message " + std::to_string(place.message);
    std::fprintf(stderr,
                 "tabulon-convert: %s: the value of \"%s\" was cut to the %zu characters a "
                 "workbook cell holds\n",
                 where.c_str(), shownText(name).c_str(), kWorkbookCellLimit);
}

// Reads every message of one input into the table. An input that changed while
// it was read is not a failure of the table: `changed` says so, for after the
// table is complete.
Status convertInput(const std::string& input, const std::string& output, MessageRows& rows,
                    TableWriter& writer, bool showProgress, RowPlace* place, Status* changed) {
    std::unique_ptr<FileSource> source;
    Status status = openInput(input, &source);
    if (!status.ok()) return status;
    std::string name = displayName(input);
    status = refuseInputAsOutput(output, *source, name);
    if (!status.ok()) return status;
    *place = {name, 0};
    std::optional<ProgressLine> line;
    if (showProgress) line.emplace(name);
    uint64_t bytesRead = 0;
    ProgressFn progress = [&](uint64_t read, uint64_t total) {
        bytesRead = read;
        if (line) line->update(read, total);
    };
    status = convertMessages(
        *source, name, rows,
        [&](const std::vector<std::string>& cells) {
            ++place->message;
            return writer.row(cells);
        },
        progress);
    if (!status.ok()) return status;
    if (changed->ok()) *changed = source->checkReadWhole(bytesRead);
    return Status::Ok();
}

// One table from `inputs` into `output`; the output appears only when complete.
// Cells cut at a workbook's limit are warned of and added to `cutCells`.
Status convertInto(const std::vector<std::string>& inputs, const std::string& output,
                   const MessageJobOptions& options, MessageRows& rows, uint64_t* cutCells) {
    AtomicFile file;
    std::optional<FdSink> out;
    ByteSink* sink = &file;
    if (output == "-") {
        out.emplace(STDOUT_FILENO, "standard output");
        sink = &*out;
    } else {
        // The table can always be made again from its input: no flush to disk.
        Status status = file.open(output, AtomicFile::Durability::kNoFlush);
        if (!status.ok()) return status;
    }
    RowPlace place;
    std::vector<std::string> columns = rows.columnNames();
    TableOptions table = options.table;
    table.onCellCut = [&](size_t column) {
        ++*cutCells;
        warnCellCut(place, columns, column);
    };
    std::unique_ptr<TableWriter> writer = makeTableWriter(options.format, *sink, table);
    Status status = writer->begin(columns);
    Status changed;
    for (size_t i = 0; status.ok() && i < inputs.size(); ++i) {
        status =
            convertInput(inputs[i], output, rows, *writer, options.showProgress, &place, &changed);
    }
    if (status.ok()) status = writer->finish();
    if (!status.ok()) return status;  // the temporary file goes with `file`
    if (output != "-") status = file.commit();
    return status.ok() ? changed : status;
}

}  // namespace

int runMessageConversion(const MessageJobOptions& options) {
    MessageConversionOptions conversion{options.fields, options.headers, options.report};
    MessageRows rows(conversion);
    int exitCode = kExitOk;
    uint64_t cutCells = 0;
    auto fail = [&](const Status& status) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        exitCode = kExitFailure;
    };
    if (!options.output.empty()) {
        Status status = convertInto(options.inputs, options.output, options, rows, &cutCells);
        if (!status.ok() && !status.isBrokenPipe()) fail(status);
    } else {
        for (const std::string& input : options.inputs) {
            std::string output =
                input + " Converted" + std::string(formatExtension(options.format));
            Status status = convertInto({input}, output, options, rows, &cutCells);
            if (!status.ok()) fail(status);
        }
    }
    if (options.report) {
        MessageReport report = rows.report();
        report.cellsCut = cutCells;
        std::fputs(renderReport(report).c_str(), stderr);
    }
    return exitCode;
}

int runGuessTemplate(const std::vector<std::string>& inputs, const std::string& output) {
    LabelCensus census;
    for (const std::string& input : inputs) {
        std::unique_ptr<FileSource> source;
        Status status = openInput(input, &source);
        if (status.ok() && !output.empty()) {
            status = refuseInputAsOutput(output, *source, displayName(input));
        }
        if (status.ok()) status = countLabels(*source, &census);
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            return kExitFailure;
        }
    }
    FieldList fields = guessTemplate(census);
    if (fields.empty()) {
        std::fprintf(stderr,
                     "tabulon-convert: no field labels (\"Label: value\" lines) were found in "
                     "most messages; no template was made\n");
        return kExitFailure;
    }
    std::string text = fieldNamesText(fields);
    if (output.empty() || output == "-") {
        FdSink out(STDOUT_FILENO, "standard output");
        Status status = out.write(text.data(), text.size());
        return status.ok() || status.isBrokenPipe() ? kExitOk : kExitFailure;
    }
    Status status = replaceFile(output, text, "TEXT", "R*ch");
    if (!status.ok()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace tabulon
