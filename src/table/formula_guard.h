// Keeps values that come from web forms from running as spreadsheet formulas
// when a csv, tsv or tab file written by a table writer is opened, and from
// joining rows when a tsv or tab file is.
#pragma once

#include <string_view>

namespace tabulon {

// True when a spreadsheet could read `value` as a formula: its first character
// after any blanks, Tabs and line ends is "=", "+", "-" or "@", or the
// full-width form of one of them.
bool looksLikeFormula(std::string_view value);

// True when a spreadsheet splitting text at Tabs would take `value` for a quoted
// field and join everything up to the next quote, Tabs and rows included, into
// one cell: its first character after any blanks, Tabs and line ends is '"'.
// csv quotes such a value; tsv and tab, which have no quoting, mark it as text.
bool opensQuotedField(std::string_view value);

// What goes in front of such a value (a formula, or in tsv and tab a value that
// opens a quoted field): "'", the spreadsheets' mark for text.
// A quote is always added, never a value rewritten, so "+45 5555 0101" stays
// readable as '+45 5555 0101 and no character of the value is lost.
inline constexpr char kFormulaGuard = '\'';

}  // namespace tabulon
