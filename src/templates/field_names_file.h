// Field Names files: one name per line, CR after every name, no header. Read back
// with CR, LF or CR LF line ends; every line is a name exactly as it stands.
#pragma once

#include <string>

#include "platform/status.h"
#include "templates/field_list.h"

namespace tabulon {

// Replaces `fields` with the lines of the file. An empty file gives one empty name.
// On failure `fields` is left empty.
Status readFieldNames(const std::string& path, FieldList* fields);

// Rewrites an existing file with `fields`, type "TEXT" and creator "R*ch". Writes
// nothing when the file does not exist. The rewrite is atomic: if it fails, the
// file keeps its old content.
Status writeFieldNames(const std::string& path, const FieldList& fields);

}  // namespace tabulon
