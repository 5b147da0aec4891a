// One input of tabulon-convert: "-" stands for standard input or output, any
// other name for a file; progress goes to the terminal when asked.
#pragma once

#include <string>

#include "platform/status.h"
#include "templates/field_list.h"

namespace tabulon {

// Status::BrokenPipe() when standard output was closed by its reader.
Status runConvertJob(const std::string& input, const std::string& output, const FieldList& fields,
                     bool showProgress);

}  // namespace tabulon
