// How mail programs announce a quoted message in a body without ">" before each
// line: "-----Original Message-----" and the like.
#pragma once

#include <string_view>

namespace tabulon {

// A line that announces a quoted message: "-----Original Message-----", a rule
// of dashes or underscores, "Begin forwarded message:".
bool isQuoteMarker(std::string_view line);

}  // namespace tabulon
