#include "cli/convert_job.h"

#include <unistd.h>

#include <memory>
#include <optional>

#include "cli/progress_line.h"
#include "platform/fd_sink.h"
#include "platform/file_info.h"

namespace tabulon {

Status runConvertJob(const std::string& input, const std::string& output, bool showProgress,
                     const JobConversion& conversion) {
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
    if (output == "-") {
        // Appending to the input would make it grow for as long as it is read.
        if (isSameRegularFile(STDOUT_FILENO, source->descriptor())) {
            return Status::Error("Cannot write standard output: it is the input file \"" +
                                 inputName + "\"; send the output elsewhere");
        }
        FdSink out(STDOUT_FILENO, "standard output");
        status = conversion.toSink(*source, out, progress);
    } else {
        status = conversion.toFile(*source, inputName, output, progress);
    }
    if (!status.ok()) return status;
    return source->checkReadWhole(bytesRead);
}

}  // namespace tabulon
