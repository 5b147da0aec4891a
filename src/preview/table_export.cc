#include "preview/table_export.h"

#include "platform/file_source.h"
#include "table/table_output.h"

namespace tabulon {

Status exportTable(const ExportRequest& request, const ProgressFn& progress) {
    OutputTarget output = OutputTarget::file(request.output);
    std::vector<std::unique_ptr<FileSource>> sources;
    uint64_t total = 0;
    for (const std::string& input : request.inputs) {
        std::unique_ptr<FileSource> source;
        Status status = FileSource::open(input, &source);
        if (status.ok()) status = output.refuseInput(source->descriptor(), input);
        if (!status.ok()) return status;
        total += source->size();
        sources.push_back(std::move(source));
    }

    MessageRows rows(request.options);
    return writeTable(output, request.format, request.table, [&](TableWriter& writer) {
        Status status = writer.begin(rows.columnNames());
        uint64_t done = 0;
        for (size_t i = 0; i < sources.size() && status.ok(); ++i) {
            auto onRow = [&writer](const std::vector<std::string>& cells) {
                return writer.row(cells);
            };
            auto onProgress = [&](uint64_t read, uint64_t) {
                if (progress) progress(done + read, total);
            };
            status = convertMessages(*sources[i], request.inputs[i], rows, onRow, onProgress);
            done += sources[i]->size();
        }
        return status;
    });
}

}  // namespace tabulon
