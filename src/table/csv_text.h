// The csv rule for one line of fields (RFC 4180), both ways: how a field is
// quoted when written, and how a record is read back. The csv writer, the
// column names of --columns and the read-back of a csv table all use it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// Appends `field` as a csv field: in quotes (quotes inside doubled) when it holds
// a comma, semicolon, Tab, quote or line end, else as it stands.
void appendCsvField(std::string_view field, std::string* out);

// The fields of `fields` joined by commas, each as appendCsvField() writes it.
std::string csvRecord(const std::vector<std::string>& fields);

// Reads the record that begins at `*pos` in `text` into `fields` and moves `*pos`
// past its line end (CR LF, LF or CR outside quotes). False when a quoted field
// is never closed or a closing quote is followed by anything but a comma or the
// line end; `*pos` is then where the fault was met.
bool readCsvRecord(std::string_view text, size_t* pos, std::vector<std::string>* fields);

}  // namespace tabulon
