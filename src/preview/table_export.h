// Writes the whole table of a message conversion of one or more mail files into
// one output file of a chosen format: one header row, then one row per message
// of every input in turn. The output appears only when complete; after any
// failure the output path holds what it held before, and an output that names
// one of the inputs is refused.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "conversion/converter.h"
#include "mail/message_conversion.h"
#include "table/table_writer.h"

namespace tabulon {

struct ExportRequest {
    std::vector<std::string> inputs;
    MessageConversionOptions options;
    TableFormat format = TableFormat::kXlsx;
    TableOptions table;
    std::string output;
};

// `progress` gets the bytes read of all inputs together and their total size.
// Once `*stop` holds (set from any thread), the export ends after the row at
// hand and leaves nothing.
Status exportTable(const ExportRequest& request, const ProgressFn& progress = {},
                   const std::atomic<bool>* stop = nullptr);

}  // namespace tabulon
