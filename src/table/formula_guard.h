// Keeps values that come from web forms from running as spreadsheet formulas
// when a csv, tsv or tab file written by a table writer is opened.
#pragma once

#include <string_view>

namespace tabulon {

// True when a spreadsheet could read `value` as a formula: its first character
// after any blanks, Tabs and line ends is "=", "+", "-" or "@", or the
// full-width form of one of them.
bool looksLikeFormula(std::string_view value);

// What goes in front of such a value: "'", the spreadsheets' mark for text.
// A quote is always added, never a value rewritten, so "+45 5555 0101" stays
// readable as '+45 5555 0101 and no character of the value is lost.
inline constexpr char kFormulaGuard = '\'';

}  // namespace tabulon
