#include "preview/table_export.h"

#include "mail/attachments_writer.h"
#include "mail/header_cell.h"
#include "mail/layout_lookahead.h"
#include "mail/mail_folder.h"
#include "mail/message_stream.h"
#include "mail/new_rows.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {

Status exportTable(const ExportRequest& request, const ProgressFn& progress,
                   const std::atomic<bool>* stop, ExportResult* result) {
    OutputTarget output = OutputTarget::file(request.output);
    MailFolderFiles listed;
    if (!request.mailbox) {
        Status expanded = expandMailInputs(request.inputs, &listed);
        if (!expanded.ok()) return expanded;
    }
    const std::vector<std::string>& files = listed.files;
    // Each file is opened in its turn: a folder may hold thousands.
    uint64_t total = 0;
    for (const std::string& input : files) {
        Status status = output.refuseInput(input);
        if (!status.ok()) return status;
        total += fileSize(input);
    }
    auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
    std::optional<SeenMessages> seen;
    if (request.newOnly) {
        Status loaded = seen.emplace().load(request.output, stopped);
        if (!loaded.ok()) return loaded;
    }

    MessageConversionOptions options = request.options;
    options.identify = request.newOnly;
    options.attachedFiles = !request.attachments.empty();
    std::optional<ContainedFolder> filesFolder;
    if (options.attachedFiles) {
        Status opened = ContainedFolder::open(request.attachments, &filesFolder.emplace());
        if (!opened.ok()) return opened;
    }
    MessageRows rows(options);
    countLeftOut(listed, rows);
    if (files.size() > 1) learnFromFiles(files, rows);
    TableRequest into{output, request.format, request.table, rows.columnNames(),
                      seen ? &*seen : nullptr};
    into.options.dateColumns = dateColumnsOf(options.headers, options.headerStyle.dates);
    followTableStyle(into, rows);
    auto fill = [&](TableSink& sink) {
        MessageRowsWriter table(sink, rows);
        std::optional<AttachmentsWriter> withFiles;
        if (filesFolder) {
            withFiles.emplace(table, rows, *filesFolder,
                              folderFromTable(request.attachments, request.output),
                              seen ? &*seen : nullptr);
        }
        TableWriter& writer = withFiles ? static_cast<TableWriter&>(*withFiles) : table;
        Status status = writer.begin(rows.columnNames());
        uint64_t written = 0;
        auto onRow = [&](const std::vector<std::string>& cells) {
            if (stopped()) return Status::Stopped();
            // Only the new messages: a message the record holds gives no row.
            if (!tableHolds(seen ? &*seen : nullptr, rows)) ++written;
            return writer.row(cells);
        };
        if (request.mailbox && status.ok()) {
            ImapAccount account = request.mailbox->account;
            account.stop = stop;
            status = readMailbox(account, request.mailbox->search, rows, onRow,
                                 seen ? &*seen : nullptr, progress);
        }
        uint64_t done = 0;
        for (size_t i = 0; i < files.size() && status.ok(); ++i) {
            std::unique_ptr<FileSource> source;
            status = openMailFile(files[i], listed, rows, &source);
            if (!status.ok()) break;
            if (!source) continue;  // left out, and counted
            auto onProgress = [&](uint64_t read, uint64_t) {
                if (progress) progress(done + read, total);
            };
            status = convertMessages(*source, files[i], rows, onRow, onProgress,
                                     holdsOneMessage(files[i]));
            done += source->size();
        }
        if (result) {
            *result = ExportResult{written, seen && seen->tableExists(),
                                   withFiles ? withFiles->count().saved : 0};
        }
        // A stop that came after the last row still leaves nothing.
        return status.ok() && stopped() ? Status::Stopped() : status;
    };
    return writeRows(into, fill);
}

}  // namespace tabulon
