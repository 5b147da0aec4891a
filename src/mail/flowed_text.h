// Text sent as format=flowed (RFC 3676): the lines a mail program wrapped are
// joined again. A line ending in a space goes on in the next (the space dropped
// too with delsp=yes), unless it is a form's unanswered "Label: " above another
// "Label: value"; a space that stuffs a line's start comes off; the signature
// line "-- " stays a line of its own.
#pragma once

#include <string>

namespace tabulon {

// REQUIRES: `text` has LF line ends.
void unwrapFlowed(std::string* text, bool delsp);

}  // namespace tabulon
