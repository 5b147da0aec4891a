// The text one input line adds to the output: the value after the matching
// field-list entry followed by Tab, or by CR when the entry is the last one; empty
// when no entry matches.
//
// The rule for one whole line. The engine (converter.cc) applies the same rule
// while streaming, without ever holding a line whole; the two must agree byte
// for byte, and the differential test checks both against a naive model.
#pragma once

#include <string>
#include <string_view>

#include "conversion/field_matcher.h"

namespace tabulon {

std::string checkline(std::string_view line, const FieldMatcher& matcher);

}  // namespace tabulon
