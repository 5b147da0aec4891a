// Text lines from an HTML body, read with libxml2's HTML parser (forgiving of
// broken markup). Table cells of a row join with a blank, so
// <td>Name:</td><td>Eva</td> reads "Name: Eva"; rows, list items, divisions and
// <br> end lines; paragraphs and headings stand apart by a blank line. Scripts and
// styles are dropped, runs of white space become one blank; <pre> keeps its
// lines and blanks. Two marks keep what the markup said of the form: a line
// that goes on with a table cell's value begins with kHtmlContinued, a line of
// a link's text alone (a button) with kHtmlLinkOnly, and a line of
// kHtmlTableEnd alone follows a table of label and value cells.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

inline constexpr char kHtmlContinued = '\v';
inline constexpr char kHtmlLinkOnly = '\x1e';
inline constexpr std::string_view kHtmlTableEnd = "\f";

// A row's number or ID in a table's first cell, which labels nothing: "3", "12.",
// "#4", "F-101", "Q7".
bool isRowNumber(std::string_view cell);

// REQUIRES: `html` is UTF-8. The result has LF line ends. `*cut`, when given, says
// whether the parser stopped before the end (the rest of the text is lost).
std::string htmlToText(std::string_view html, bool* cut = nullptr);

}  // namespace tabulon
