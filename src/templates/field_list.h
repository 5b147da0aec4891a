// The field list: the names of a template's fields in column order. Any text
// without a line end is a name; empty and repeated names are allowed.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

using FieldList = std::vector<std::string>;

}  // namespace tabulon
