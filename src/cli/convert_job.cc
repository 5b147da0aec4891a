#include "cli/convert_job.h"

#include <unistd.h>

#include <optional>

#include "cli/progress_line.h"

namespace tabulon {

Status readJobInput(const std::string& input, bool showProgress, const JobReading& read,
                    Status* changed) {
    return readJobInput(input, nullptr, showProgress, read, changed);
}

Status readJobInput(const std::string& input, std::unique_ptr<FileSource> source, bool showProgress,
                    const JobReading& read, Status* changed) {
    std::string name = inputDisplayName(input);
    if (source) {
        // opened by the caller
    } else if (input == "-") {
        source = FileSource::fromDescriptor(STDIN_FILENO, name);
    } else {
        Status status = FileSource::open(input, &source);
        if (!status.ok()) return status;
    }
    std::optional<ProgressLine> line;
    if (showProgress) line.emplace(name);
    uint64_t bytesRead = 0;
    Status status = read(*source, name, [&](uint64_t read, uint64_t total) {
        bytesRead = read;
        if (line) line->update(read, total);
    });
    if (status.ok()) *changed = source->checkReadWhole(bytesRead);
    return status;
}

Status runConvertJob(const std::string& input, const OutputTarget& output, bool showProgress,
                     const JobConversion& conversion) {
    Status changed;
    Status status = readJobInput(
        input, showProgress,
        [&](FileSource& source, const std::string& name, const ProgressFn& progress) {
            return conversion(source, name, output, progress);
        },
        &changed);
    return status.ok() ? changed : status;
}

}  // namespace tabulon
