#include "cli/message_job.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "cli/convert_command.h"
#include "cli/mailbox_input.h"
#include "cli/progress_line.h"
#include "mail/layout_lookahead.h"
#include "mail/message_conversion.h"
#include "mail/template_guess.h"
#include "platform/atomic_file.h"
#include "platform/fd_sink.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {
namespace {

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

// Reads every message of one input into the table. An input that changed while
// it was read is not a failure of the table: `changed` says so, for after the
// table is complete.
Status convertInput(const std::string& input, const std::string& output, MessageRows& rows,
                    TableWriter& writer, const MessageJobOptions& options, Status* changed) {
    bool showProgress = options.showProgress;
    if (isMailboxAddress(input)) {
        return convertMailboxInput(
            input, options, rows,
            [&](const std::vector<std::string>& cells) { return writer.row(cells); });
    }
    std::unique_ptr<FileSource> source;
    Status status = openInput(input, &source);
    if (!status.ok()) return status;
    std::string name = displayName(input);
    status = refuseInputAsOutput(output, *source, name);
    if (!status.ok()) return status;
    std::optional<ProgressLine> line;
    if (showProgress) line.emplace(name);
    uint64_t bytesRead = 0;
    ProgressFn progress = [&](uint64_t read, uint64_t total) {
        bytesRead = read;
        if (line) line->update(read, total);
    };
    status = convertMessages(
        *source, name, rows,
        [&](const std::vector<std::string>& cells) { return writer.row(cells); }, progress);
    if (!status.ok()) return status;
    if (changed->ok()) *changed = source->checkReadWhole(bytesRead);
    return Status::Ok();
}

// One table from `inputs` into `output`; the output appears only when complete.
Status convertInto(const std::vector<std::string>& inputs, const std::string& output,
                   const MessageJobOptions& options, MessageRows& rows) {
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
    std::unique_ptr<TableWriter> writer = makeTableWriter(options.format, *sink, options.table);
    Status status = writer->begin(rows.columnNames());
    Status changed;
    for (size_t i = 0; status.ok() && i < inputs.size(); ++i) {
        status = convertInput(inputs[i], output, rows, *writer, options, &changed);
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
    if (options.inputs.size() > 1) learnFromFiles(options.inputs, rows);
    int exitCode = kExitOk;
    auto fail = [&](const Status& status) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        exitCode = kExitFailure;
    };
    if (!options.output.empty()) {
        Status status = convertInto(options.inputs, options.output, options, rows);
        if (!status.ok() && !status.isBrokenPipe()) fail(status);
    } else {
        for (const std::string& input : options.inputs) {
            std::string output =
                input + " Converted" + std::string(formatExtension(options.format));
            Status status = convertInto({input}, output, options, rows);
            if (!status.ok()) fail(status);
        }
    }
    MessageReport report = rows.report();
    if (options.report) std::fputs(renderReport(report).c_str(), stderr);
    if (options.strict && exitCode == kExitOk && report.incompleteRows > 0) {
        std::fprintf(stderr,
                     "tabulon-convert: %llu of %llu rows lack a field or leave a line out\n",
                     static_cast<unsigned long long>(report.incompleteRows),
                     static_cast<unsigned long long>(report.messagesRead));
        return kExitIncomplete;
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
