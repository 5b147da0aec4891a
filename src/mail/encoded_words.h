// Header text with RFC 2047 encoded words ("=?ISO-8859-1?Q?Caf=E9?=") made into
// UTF-8, each word's bytes read by the same rule as bodies (charset_text.h), so
// that a word labelled Latin-1 reads as Windows-1252 as a body does.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// Appends `raw` (an unfolded header value) to `out` as UTF-8: encoded words
// decoded, the blanks between two of them dropped, anything else read as
// undeclared text. A malformed word stays as it stands. Returns false when some
// word's bytes were not valid in its charset.
bool appendHeaderText(std::string_view raw, std::string* out);

// `raw` (an address header) with each run of encoded words decoded as
// appendHeaderText() decodes it and written as a quoted string (within a quoted
// string already: escaped), so that an address parser reads a decoded comma,
// quote or angle bracket as part of the name; the rest made UTF-8 as
// appendHeaderText() makes it.
std::string quoteEncodedWords(std::string_view raw);

}  // namespace tabulon
