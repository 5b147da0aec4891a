// The links of a text that a sending service made from its HTML: each link's
// text followed by its number ("Reply to Ann [2]"), the targets listed by
// number at the end ("[2] https://...").
#pragma once

#include <string>

namespace tabulon {

// Takes the numbers of listed links from the lines above the list, and marks a
// line that held a link's text alone as HTML text marks it (a button, no
// answer); the list stays as the footer it is. A text with no such list is left
// as it was.
void markLinkReferences(std::string* text);

}  // namespace tabulon
