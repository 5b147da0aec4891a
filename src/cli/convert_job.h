// One input of tabulon-convert: "-" stands for standard input or output, any
// other name for a file; progress goes to the terminal when asked. What the
// conversion itself is (the byte engine, or rows into a table format) is given
// by the caller, so that each program links only the conversions it runs.
#pragma once

#include <functional>
#include <string>

#include "conversion/converter.h"
#include "platform/byte_stream.h"
#include "platform/file_source.h"
#include "platform/status.h"

namespace tabulon {

struct JobConversion {
    // Converts `input` into standard output.
    std::function<Status(FileSource& input, ByteSink& out, const ProgressFn& progress)> toSink;
    // Converts `input` into the file `output`, whole or not at all, never over the input.
    std::function<Status(FileSource& input, const std::string& inputName, const std::string& output,
                         const ProgressFn& progress)>
        toFile;
};

// Status::BrokenPipe() when standard output was closed by its reader.
Status runConvertJob(const std::string& input, const std::string& output, bool showProgress,
                     const JobConversion& conversion);

}  // namespace tabulon
