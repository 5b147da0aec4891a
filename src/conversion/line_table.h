// The line conversion written as a table in any format: the same rows the
// tab-delimited engine forms, handed to a TableWriter cell by cell instead of
// as bytes. Each line that matches a field-list entry (FieldMatcher's rule)
// adds its value, the rest of the line after the entry, to the current row; a
// line matching the last entry ends the row. An unfinished row at the end of
// the input is written as a row of its own.
//
// Unlike the byte engine, a row is held whole before it is written, so memory
// grows with the longest row (a template whose last entry never matches makes
// the whole input one row).
#pragma once

#include "conversion/converter.h"
#include "platform/byte_stream.h"
#include "table/table_writer.h"
#include "templates/field_list.h"

namespace tabulon {

// Writes the header (the field list's names) and every row; finishing the writer
// is left to the caller (writeRows). Stops at the first read or write error and
// returns it.
// REQUIRES: !fields.empty()
Status convertToTable(ByteSource& input, const FieldList& fields, TableWriter& writer,
                      const ProgressFn& progress = {});

}  // namespace tabulon
