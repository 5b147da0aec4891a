#include "preview/table_export.h"

#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {

Status exportTable(const ExportRequest& request, const ProgressFn& progress,
                   const std::atomic<bool>* stop) {
    std::vector<std::unique_ptr<FileSource>> sources;
    uint64_t total = 0;
    for (const std::string& input : request.inputs) {
        std::unique_ptr<FileSource> source;
        Status status = FileSource::open(input, &source);
        if (!status.ok()) return status;
        if (isSameFile(request.output, source->descriptor())) {
            return Status::Error("\"" + request.output +
                                 "\" is one of the files being converted; choose another name "
                                 "for the converted file.");
        }
        total += source->size();
        sources.push_back(std::move(source));
    }

    AtomicFile output;
    Status status = output.open(request.output, AtomicFile::Durability::kNoFlush);
    if (!status.ok()) return status;
    std::unique_ptr<TableWriter> writer = makeTableWriter(request.format, output, request.table);
    MessageRows rows(request.options);
    status = writer->begin(rows.columnNames());
    uint64_t done = 0;
    for (size_t i = 0; i < sources.size() && status.ok(); ++i) {
        auto onRow = [&writer, stop](const std::vector<std::string>& cells) {
            if (stop != nullptr && stop->load(std::memory_order_relaxed))
                return Status::Error("The save was stopped.");
            return writer->row(cells);
        };
        auto onProgress = [&](uint64_t read, uint64_t) {
            if (progress) progress(done + read, total);
        };
        status = convertMessages(*sources[i], request.inputs[i], rows, onRow, onProgress);
        done += sources[i]->size();
    }
    if (status.ok()) status = writer->finish();
    if (status.ok() && stop != nullptr && stop->load())
        status = Status::Error("The save was stopped.");
    if (status.ok()) status = output.commit();
    if (!status.ok()) output.discard();
    return status;
}

}  // namespace tabulon
