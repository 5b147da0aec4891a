// A whole conversion from an input file to an output file on disk. The output
// appears only when complete (it replaces any older file of that name at once);
// after a failure the output path holds what it held before. The input is never
// written to: an output path that names the input is refused.
#pragma once

#include <atomic>
#include <string>

#include "conversion/converter.h"
#include "platform/file_source.h"

namespace tabulon {

// When `stop` is given and becomes true (from any thread), the conversion ends
// at its next block with kStopped and leaves no output.
Status convertToFile(FileSource& input, const std::string& inputName, const std::string& outputPath,
                     const FieldList& fields, const ProgressFn& progress = {},
                     const std::atomic<bool>* stop = nullptr);

// The message of a conversion ended by `stop`.
extern const char kStopped[];

Status convertFile(const std::string& inputPath, const std::string& outputPath,
                   const FieldList& fields, const ProgressFn& progress = {});

}  // namespace tabulon
