#include "cli/message_job.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "cli/convert_command.h"
#include "cli/convert_job.h"
#include "cli/exit_status.h"
#include "cli/mailbox_input.h"
#include "mail/attachments_writer.h"
#include "mail/header_block.h"
#include "mail/layout_lookahead.h"
#include "mail/mail_folder.h"
#include "mail/message_conversion.h"
#include "mail/message_splitter.h"
#include "mail/message_stream.h"
#include "mail/new_rows.h"
#include "mail/template_guess.h"
#include "output/seen_messages.h"
#include "platform/atomic_file.h"
#include "platform/fd_sink.h"
#include "platform/file_source.h"
#include "table/csv_text.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

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

// Hands a source's bytes on and keeps the first few kilobytes: enough to tell
// whether standard input held mail at all.
class HeadKeepingSource : public ByteSource {
  public:
    explicit HeadKeepingSource(ByteSource& source) : source_(source) {}
    Status read(char* buffer, size_t capacity, size_t* count) override {
        Status status = source_.read(buffer, capacity, count);
        if (status.ok() && head_.size() < kKept)
            head_.append(buffer, std::min(*count, kKept - head_.size()));
        return status;
    }
    uint64_t size() const override { return source_.size(); }

    // The input opens with an mbox separator or a mail header block.
    bool openedWithMail() const {
        std::string text = head_;
        for (size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', cr))
            text[cr] = '\n';
        size_t start = text.find_first_not_of(" \t\n");
        if (start == std::string::npos) return false;
        std::string_view rest = std::string_view(text).substr(start);
        return isMboxSeparator(rest.substr(0, rest.find('\n'))) || readHeaderBlock(rest).isMail;
    }

  private:
    static constexpr size_t kKept = 8192;
    ByteSource& source_;
    std::string head_;
};

// Standard input that opened with no mail and gave one row of nothing is no
// mail (a list of file names piped in, say): an error rather than an empty table.
Status refuseIfNoMail(const HeadKeepingSource& input, const std::vector<std::string>& cells) {
    bool nothing = std::all_of(cells.begin(), cells.end(),
                               [](const std::string& cell) { return cell.empty(); });
    if (!nothing || input.openedWithMail()) return Status::Ok();
    return Status::InvalidArgument(
        "standard input holds no mail (to read the files a list names, give it with "
        "--files-from)");
}

// Reads every message of one input into the table. An input that changed while
// it was read is not a failure of the table: `changed` says so, for after the
// table is complete. A file of a folder that cannot be read, and a table
// Tabulon wrote, are left out (said on standard error, also with --quiet, and
// counted in the report).
Status convertInput(const std::string& input, const MailFolderFiles& listed,
                    const OutputTarget& output, MessageRows& rows, TableWriter& writer,
                    const MessageJobOptions& options, RowPlace* place, Status* changed,
                    SeenMessages* seen) {
    if (isMailboxAddress(input)) {
        *place = {input, 0};
        return convertMailboxInput(
            input, options, rows,
            [&](const std::vector<std::string>& cells) {
                ++place->message;
                return writer.row(cells);
            },
            seen);
    }
    std::unique_ptr<FileSource> source;
    if (input != "-") {
        std::string leftOut;
        Status status = openMailFile(input, listed, rows, &source, &leftOut);
        if (!status.ok()) return status;
        if (!source) {
            std::fprintf(stderr, "tabulon-convert: %s; left out\n", shownText(leftOut).c_str());
            return Status::Ok();
        }
    }
    Status inputChanged;
    Status status = readJobInput(
        input, std::move(source), options.showProgress,
        [&](FileSource& source, const std::string& name, const ProgressFn& progress) {
            Status status = output.refuseInput(source.descriptor(), name);
            if (!status.ok()) return status;
            *place = {name, 0};
            HeadKeepingSource kept(source);
            auto onRow = [&](const std::vector<std::string>& cells) {
                Status status = input == "-" && place->message == 0 ? refuseIfNoMail(kept, cells)
                                                                    : Status::Ok();
                ++place->message;
                return status.ok() ? writer.row(cells) : status;
            };
            return convertMessages(kept, name, rows, onRow, progress, holdsOneMessage(input));
        },
        &inputChanged);
    if (changed->ok()) *changed = inputChanged;
    return status;
}

// One table from `inputs` into `output`; a file appears only when complete.
// Cells cut at a workbook's limit are warned of and added to `cutCells`. With
// `seen`, only messages it lacks become rows, added to the table when it exists.
Status convertInto(const std::vector<std::string>& inputs, const MailFolderFiles& listed,
                   const OutputTarget& output, const MessageJobOptions& options, MessageRows& rows,
                   uint64_t* cutCells, SeenMessages* seen, ContainedFolder* files,
                   SavedFilesCount* saved) {
    // Before anything is written: nothing may land on an input, not even the
    // header row on standard output appended to one.
    for (const std::string& input : inputs) {
        Status status = output.refuseInput(input);
        if (!status.ok()) return status;
    }
    RowPlace place;
    std::vector<std::string> columns = rows.columnNames();
    TableOptions table = options.table;
    table.dateColumns = dateColumnsOf(options.headers, options.dates);
    table.onCellCut = [&](size_t column) {
        ++*cutCells;
        warnCellCut(place, columns, column);
    };
    Status changed;
    TableRequest request{output, options.format, table, columns, seen};
    followTableStyle(request, rows);
    auto fill = [&](TableSink& sink) {
        MessageRowsWriter table(sink, rows);
        std::optional<AttachmentsWriter> withFiles;
        if (files) {
            withFiles.emplace(table, rows, *files,
                              folderFromTable(options.attachments,
                                              output.isStandardOutput() ? "-" : output.path()),
                              seen);
        }
        TableWriter& writer = withFiles ? static_cast<TableWriter&>(*withFiles) : table;
        Status status = writer.begin(columns);
        for (size_t i = 0; status.ok() && i < inputs.size(); ++i) {
            status = convertInput(inputs[i], listed, output, rows, writer, options, &place,
                                  &changed, seen);
        }
        if (withFiles) {
            const SavedFilesCount& count = withFiles->count();
            saved->saved += count.saved;
            saved->bytes += count.bytes;
            saved->tooLarge += count.tooLarge;
            saved->renamed += count.renamed;
        }
        return status;
    };
    Status status = writeRows(request, fill);
    return status.ok() ? changed : status;
}

}  // namespace

MessageJobOptions messageJobOptions(const ConvertArguments& args, const FieldList& fields) {
    MessageJobOptions job;
    job.inputs = args.inputs;
    job.output = args.output;
    job.format = args.format;
    job.table = TableOptions{args.bom};
    job.headers = args.headers;
    job.dates = args.dates;
    job.fields = fields;
    job.report = args.report;
    job.strict = args.strict;
    job.newOnly = args.newOnly;
    job.attachments = args.attachments;
    job.showProgress = showsProgress(args);
    job.mailbox = args.mailbox;
    return job;
}

int runMessageConversion(const MessageJobOptions& options, MessageReport* reportOut) {
    MessageConversionOptions conversion{options.fields, options.headers, options.report};
    conversion.headerStyle.dates = options.dates;
    conversion.identify = options.newOnly;
    conversion.attachedFiles = !options.attachments.empty();
    conversion.weighHtml = options.strict || options.report;
    std::optional<ContainedFolder> filesFolder;
    SavedFilesCount saved;
    saved.asked = conversion.attachedFiles;
    if (conversion.attachedFiles) {
        Status status = ContainedFolder::open(options.attachments, &filesFolder.emplace());
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            return kExitFailure;
        }
    }
    std::optional<SeenMessages> seen;
    if (options.newOnly) {
        Status status = seen.emplace().load(options.output);
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            return kExitFailure;
        }
    }
    MessageRows rows(conversion);
    int exitCode = kExitOk;
    uint64_t cutCells = 0;
    MailFolderFiles listed;
    auto convert = [&](const std::vector<std::string>& inputs, const OutputTarget& output) {
        Status status =
            convertInto(inputs, listed, output, options, rows, &cutCells, seen ? &*seen : nullptr,
                        filesFolder ? &*filesFolder : nullptr, &saved);
        if (status.ok() || status.isBrokenPipe()) return;
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        exitCode = kExitFailure;
    };
    // A folder is one input: its mail files make one table beside it.
    std::vector<std::vector<std::string>> groups;
    for (const std::string& input : options.inputs) {
        size_t first = listed.files.size();
        Status status = expandMailInputs({input}, &listed);
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            return kExitFailure;
        }
        groups.emplace_back(listed.files.begin() + static_cast<std::ptrdiff_t>(first),
                            listed.files.end());
    }
    const std::vector<std::string>& files = listed.files;
    countLeftOut(listed, rows);
    if (files.size() > 1) learnFromFiles(files, rows);
    OutputPlan plan(options.output, formatExtension(options.format));
    if (plan.namedOutput()) {
        convert(files, OutputTarget::named(options.output));
    } else {
        for (size_t i = 0; i < options.inputs.size(); ++i) {
            std::string input = options.inputs[i];
            while (input.size() > 1 && input.back() == '/')
                input.pop_back();
            convert(groups[i], plan.targetFor(outputBaseFor(input)));
        }
    }
    MessageReport report = rows.report();
    report.cellsCut = cutCells;
    report.files = saved;
    if (saved.tooLarge > 0) {
        std::fprintf(stderr,
                     "tabulon-convert: %llu attached file(s) larger than %llu MB were not saved\n",
                     static_cast<unsigned long long>(saved.tooLarge),
                     static_cast<unsigned long long>(kMaxAttachedFileBytes >> 20));
    }
    if (options.report) std::fputs(renderReport(report).c_str(), stderr);
    if (reportOut) *reportOut = report;
    if (options.strict && exitCode == kExitOk && report.unsure()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", unsureText(report).c_str());
        return kExitIncomplete;
    }
    return exitCode;
}

int runGuessTemplate(const std::vector<std::string>& given, const std::string& output,
                     bool columnsOut) {
    OutputTarget target =
        output.empty() ? OutputTarget::standardOutput() : OutputTarget::named(output);
    MailFolderFiles listed;
    Status expanded = expandMailInputs(given, &listed);
    const std::vector<std::string>& inputs = listed.files;
    if (!expanded.ok()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", expanded.message().c_str());
        return kExitFailure;
    }
    // Several files are one form's mail, learned together.
    FormLayout layout;
    if (inputs.size() > 1) layout = learnFromFiles(inputs);
    const FormLayout* learned = layout.messages() > 0 ? &layout : nullptr;
    LabelCensus census;
    for (const std::string& input : inputs) {
        Status changed;  // the census takes what was read
        Status status = readJobInput(
            input, false,
            [&](FileSource& source, const std::string& name, const ProgressFn&) {
                // Read whole before anything is written: standard output may be an input.
                Status status = target.isStandardOutput()
                                    ? Status::Ok()
                                    : target.refuseInput(source.descriptor(), name);
                return status.ok() ? countLabels(source, &census, learned) : status;
            },
            &changed);
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            return kExitFailure;
        }
    }
    FieldList fields = guessTemplate(census);
    if (fields.empty()) {
        std::fprintf(stderr,
                     "tabulon-convert: no field labels were found in at least half of the "
                     "messages; no template was made\n");
        return kExitFailure;
    }
    std::string text = fieldNamesText(fields);
    if (columnsOut) {
        // The titles a table shows: --columns takes "Name" for "Name:" as a
        // template's name does.
        std::vector<std::string> titles;
        for (const std::string& name : fields)
            titles.push_back(columnTitle(name));
        text = csvRecord(titles) + "\n";
    }
    Status status;
    if (target.isStandardOutput()) {
        status = FdSink::standardOutput().write(text.data(), text.size());
    } else {
        status = replaceFile(target.path(), text, "TEXT", "R*ch");
    }
    if (!status.ok() && !status.isBrokenPipe()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace tabulon
