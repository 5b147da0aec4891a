// Writes one output whole or not at all. A file is written through an
// AtomicFile: it appears only when `write` has succeeded, replacing any older
// file of that name at once, and after a failure the path holds what it held
// before. Standard output is written as the bytes come.
#pragma once

#include <functional>

#include "output/output_plan.h"
#include "platform/byte_stream.h"

namespace tabulon {

// What a record kept beside a file (elsewhere) does around the file's commit,
// so that the two agree at whatever moment the process dies: the record is
// told every byte, is written before the new file takes its name, and is
// marked done after. With these steps the file is flushed to disk, and so is
// its rename before `afterRename` runs.
struct CommitSteps {
    std::function<void(const char* data, size_t size)> written;
    std::function<Status()> beforeRename;  // its failure leaves the old file
    std::function<Status()> afterRename;
};

// `write` puts the whole output into the sink it is given and returns how it went.
// Without `steps` a file is not flushed to disk before it replaces the old one:
// an output can always be made again from its input.
Status writeOutput(const OutputTarget& target, const std::function<Status(ByteSink&)>& write,
                   const CommitSteps* steps = nullptr);

}  // namespace tabulon
