// A whole line conversion from an input file to an output (a file or standard
// output), written by writeOutput: a file appears only when complete; after a
// failure its path holds what it held before. The input is never written to:
// an output that is the input is refused.
#pragma once

#include <atomic>
#include <string>

#include "conversion/converter.h"
#include "output/output_plan.h"
#include "platform/file_source.h"

namespace tabulon {

// When `stop` is given and becomes true (from any thread), the conversion ends
// at its next block with Status::Stopped() and leaves no output.
Status convertToFile(FileSource& input, const std::string& inputName, const OutputTarget& output,
                     const FieldList& fields, const ProgressFn& progress = {},
                     const std::atomic<bool>* stop = nullptr);

}  // namespace tabulon
