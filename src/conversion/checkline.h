// The text one input line adds to the output: the value after the matching
// field-list entry followed by Tab, or by CR when the entry is the last one; empty
// when no entry matches.
#pragma once

#include <string>
#include <string_view>

#include "conversion/field_matcher.h"

namespace tabulon {

std::string checkline(std::string_view line, const FieldMatcher& matcher);

}  // namespace tabulon
