#include "cli/convert_job.h"

#include <unistd.h>

#include <optional>

#include "cli/progress_line.h"

namespace tabulon {

Status openJobInput(const std::string& input, std::unique_ptr<FileSource>* source) {
    if (input != "-") return FileSource::open(input, source);
    *source = FileSource::fromDescriptor(STDIN_FILENO, inputDisplayName(input));
    return Status::Ok();
}

Status runConvertJob(const std::string& input, const OutputTarget& output, bool showProgress,
                     const JobConversion& conversion) {
    std::unique_ptr<FileSource> source;
    Status status = openJobInput(input, &source);
    if (!status.ok()) return status;
    std::string inputName = inputDisplayName(input);
    std::optional<ProgressLine> line;
    if (showProgress) line.emplace(inputName);
    uint64_t bytesRead = 0;
    ProgressFn progress = [&](uint64_t read, uint64_t total) {
        bytesRead = read;
        if (line) line->update(read, total);
    };
    status = conversion(*source, inputName, output, progress);
    if (!status.ok()) return status;
    return source->checkReadWhole(bytesRead);
}

}  // namespace tabulon
