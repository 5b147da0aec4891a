// Bodies that are a script's dump of the form's data, as its language prints a
// map: PHP's print_r ("Array\n(\n    [name] => Ann\n)") and var_dump
// ('array(1) {\n  ["name"]=>\n  string(3) "Ann"\n}'), Perl's Data::Dumper
// ("$VAR1 = {\n  'name' => 'Ann',\n};") and Python's dict ("{'name': 'Ann'}").
#pragma once

#include <string_view>

#include "mail/form_text.h"

namespace tabulon {

// Reads the first such dump in `body` into `out->fields` (labels as the keys,
// nested keys joined with a dot, a list's items one a line, escapes decoded,
// entries left at -1). `brace` is where the body's first "{" stands, or npos.
// False, and `out` untouched, when the body holds none or the dump is not whole.
bool readScriptDump(std::string_view body, size_t brace, FormText* out);

}  // namespace tabulon
