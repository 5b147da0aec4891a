// Bodies that are data rather than text: one JSON object (a webhook's payload
// mailed as it came; nested keys joined with a dot, a list's items one per line)
// or one URL-encoded "key=value&key=value" string (a form post mailed raw).
#pragma once

#include <string_view>

#include "mail/form_reader.h"

namespace tabulon {

// Reads `body` into `out->fields` (labels as the data names them, entries left
// at -1) when the body is such data, with at most a line of text above or below
// it; false, and `out` untouched, when it is not.
bool readStructuredBody(std::string_view body, FormText* out);

}  // namespace tabulon
