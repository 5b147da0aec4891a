#include "cli/convert_job.h"

#include <unistd.h>

#include <memory>
#include <optional>

#include "cli/progress_line.h"
#include "conversion/file_conversion.h"
#include "platform/fd_sink.h"

namespace tabulon {

Status runConvertJob(const std::string& input, const std::string& output, const FieldList& fields,
                     bool showProgress) {
    std::unique_ptr<FileSource> source;
    std::string inputName = input == "-" ? "standard input" : input;
    if (input == "-") {
        source = FileSource::fromDescriptor(STDIN_FILENO, inputName);
    } else {
        Status status = FileSource::open(input, &source);
        if (!status.ok()) return status;
    }
    std::optional<ProgressLine> line;
    ProgressFn progress;
    if (showProgress) {
        line.emplace(inputName);
        progress = [&line](uint64_t read, uint64_t total) { line->update(read, total); };
    }
    if (output == "-") {
        FdSink out(STDOUT_FILENO, "standard output");
        return convert(*source, fields, out, progress);
    }
    return convertToFile(*source, inputName, output, fields, progress);
}

}  // namespace tabulon
