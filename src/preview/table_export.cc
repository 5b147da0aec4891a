#include "preview/table_export.h"

#include "mail/layout_lookahead.h"
#include "mail/mail_folder.h"
#include "platform/file_info.h"
#include "platform/file_source.h"
#include "table/table_output.h"

namespace tabulon {

Status exportTable(const ExportRequest& request, const ProgressFn& progress,
                   const std::atomic<bool>* stop) {
    OutputTarget output = OutputTarget::file(request.output);
    std::vector<std::string> files;
    uint64_t trashed = 0;
    Status expanded = expandMailInputs(request.inputs, &files, &trashed);
    if (!expanded.ok()) return expanded;
    // Each file is opened in its turn: a folder may hold thousands.
    uint64_t total = 0;
    for (const std::string& input : files) {
        Status status = output.refuseInput(input);
        if (!status.ok()) return status;
        total += fileSize(input);
    }

    MessageRows rows(request.options);
    rows.countTrashed(trashed);
    if (files.size() > 1) learnFromFiles(files, rows);
    auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
    return writeTable(output, request.format, request.table, [&](TableWriter& writer) {
        Status status = writer.begin(rows.columnNames());
        uint64_t done = 0;
        for (size_t i = 0; i < files.size() && status.ok(); ++i) {
            std::unique_ptr<FileSource> source;
            status = FileSource::open(files[i], &source);
            if (!status.ok()) break;
            auto onRow = [&writer, &stopped](const std::vector<std::string>& cells) {
                return stopped() ? Status::Stopped() : writer.row(cells);
            };
            auto onProgress = [&](uint64_t read, uint64_t) {
                if (progress) progress(done + read, total);
            };
            status = convertMessages(*source, files[i], rows, onRow, onProgress);
            done += source->size();
        }
        // A stop that came after the last row still leaves nothing.
        return status.ok() && stopped() ? Status::Stopped() : status;
    });
}

}  // namespace tabulon
