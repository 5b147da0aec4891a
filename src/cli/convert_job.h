// One input of tabulon-convert: "-" stands for standard input, any other name
// for a file; progress goes to the terminal when asked. What the conversion
// itself is (the byte engine, or rows into a table format) is given by the
// caller, so that each program links only the conversions it runs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "conversion/converter.h"
#include "output/output_plan.h"
#include "platform/file_source.h"
#include "platform/status.h"

namespace tabulon {

// Converts `input` into `output`, whole or not at all, never over the input.
using JobConversion = std::function<Status(FileSource& input, const std::string& inputName,
                                           const OutputTarget& output, const ProgressFn& progress)>;

// Opens `input` (a file, or standard input for "-"), shows how much of it is
// read on the terminal when asked, and has `read` read it. An input that gave
// another number of bytes than it held (it changed while it was read) is told in
// `*changed`, apart from how the reading went.
using JobReading = std::function<Status(FileSource& input, const std::string& inputName,
                                        const ProgressFn& progress)>;
Status readJobInput(const std::string& input, bool showProgress, const JobReading& read,
                    Status* changed);
// The same with `input` already open as `source` (when given).
Status readJobInput(const std::string& input, std::unique_ptr<FileSource> source, bool showProgress,
                    const JobReading& read, Status* changed);

// Status::BrokenPipe() when standard output was closed by its reader.
Status runConvertJob(const std::string& input, const OutputTarget& output, bool showProgress,
                     const JobConversion& conversion);

}  // namespace tabulon
