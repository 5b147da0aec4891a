// The conversion: form mail in, tab-delimited rows out. A pure streaming function
// with no user interface; the desktop app and tabulon-convert both drive it.
//
// Memory stays flat whatever the input: lines are never held whole. Each line's
// matching entry is decided from at most the longest entry's length of bytes and
// the rest of the line streams straight to the output.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/byte_stream.h"
#include "templates/field_list.h"

namespace tabulon {

// Told the bytes read so far and the input's size (0 when unknown), after each
// block and once at the end.
using ProgressFn = std::function<void(uint64_t bytesRead, uint64_t totalBytes)>;

// Every entry followed by Tab, the last one by CR.
std::string headerRow(const FieldList& fields);

// Whole percent done, 0 to 100; an empty input counts as done.
int progressPercent(uint64_t bytesRead, uint64_t totalBytes);

// Writes the header row, then for each input line that matches an entry its value
// and separator. Stops at the first read or write error and returns it.
// REQUIRES: !fields.empty()
Status convert(ByteSource& input, const FieldList& fields, ByteSink& output,
               const ProgressFn& progress = {});

}  // namespace tabulon
