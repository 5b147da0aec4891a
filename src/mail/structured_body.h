// Bodies that are data rather than text: one JSON object (a webhook's payload
// mailed as it came; nested keys joined with a dot, a list's items one per line),
// a script's dump of a map (script_dump.h), one XML document (its elements of
// text alone, named by their path) or one URL-encoded "key=value&key=value"
// string (a form post mailed raw).
#pragma once

#include <string_view>

#include "mail/form_text.h"

namespace tabulon {

// Reads `body` into `out->fields` (labels as the data names them, entries left
// at -1) when it holds such data: a JSON object from a line that begins with
// "{" to one that ends with "}", or a line of at least three "key=value" pairs.
// Text around the data (an intro, a footer, a signature) is no field's. False,
// and `out` untouched, when the body holds none.
bool readStructuredBody(std::string_view body, FormText* out);

// A line of column names over one line of their values, parted by ";" or ","
// (no blank after it), as a script mails a record "to paste into the
// spreadsheet": each name labels its value, into `out->fields` (entries -1).
bool readCsvRecord(std::string_view body, FormText* out);

}  // namespace tabulon
