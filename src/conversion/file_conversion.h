// A whole conversion from an input file to an output file on disk. The output
// appears only when complete (it replaces any older file of that name at once);
// after a failure the output path holds what it held before. The input is never
// written to: an output path that names the input is refused.
#pragma once

#include <string>

#include "conversion/converter.h"
#include "platform/file_source.h"

namespace tabulon {

Status convertToFile(FileSource& input, const std::string& inputName, const std::string& outputPath,
                     const FieldList& fields, const ProgressFn& progress = {});

Status convertFile(const std::string& inputPath, const std::string& outputPath,
                   const FieldList& fields, const ProgressFn& progress = {});

}  // namespace tabulon
