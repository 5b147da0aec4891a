#include "cli/convert_job.h"

#include <unistd.h>

#include <memory>
#include <optional>

#include "cli/progress_line.h"
#include "conversion/file_conversion.h"
#include "platform/fd_sink.h"
#include "table/line_table.h"
#include "table/table_file.h"

namespace tabulon {

Status runConvertJob(const std::string& input, const std::string& output, const FieldList& fields,
                     TableFormat format, const TableOptions& table, bool showProgress) {
    std::unique_ptr<FileSource> source;
    std::string inputName = input == "-" ? "standard input" : input;
    if (input == "-") {
        source = FileSource::fromDescriptor(STDIN_FILENO, inputName);
    } else {
        Status status = FileSource::open(input, &source);
        if (!status.ok()) return status;
    }
    std::optional<ProgressLine> line;
    if (showProgress) line.emplace(inputName);
    uint64_t bytesRead = 0;
    ProgressFn progress = [&](uint64_t read, uint64_t total) {
        bytesRead = read;
        if (line) line->update(read, total);
    };
    Status status;
    bool tab = format == TableFormat::kTab;
    if (output == "-") {
        FdSink out(STDOUT_FILENO, "standard output");
        if (tab) {
            status = convert(*source, fields, out, progress);
        } else {
            std::unique_ptr<TableWriter> writer = makeTableWriter(format, out, table);
            status = convertToTable(*source, fields, *writer, progress);
        }
    } else if (tab) {
        status = convertToFile(*source, inputName, output, fields, progress);
    } else {
        status = convertToTableFile(*source, inputName, output, fields, format, table, progress);
    }
    uint64_t expected = source->size();
    if (status.ok() && expected > 0 && bytesRead != expected) {
        return Status::Error("\"" + inputName + "\" changed while it was being converted (" +
                             std::to_string(expected) + " bytes were expected, " +
                             std::to_string(bytesRead) +
                             " were read); the output holds what was read");
    }
    return status;
}

}  // namespace tabulon
