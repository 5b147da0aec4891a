// A reply's quote of the message it answers, as mail programs write it without
// ">" before each line: a line such as "-----Original Message-----", then the
// quoted message's From:, Sent: (or Date:), To: and Subject: lines and its text.
#pragma once

#include <string_view>

namespace tabulon {

// A line that announces a quoted message: "-----Original Message-----", a rule
// of dashes or underscores, "Begin forwarded message:".
bool isQuoteMarker(std::string_view line);

// Where the quote of an earlier message begins in `body` (LF line ends): its
// marker line, or its From: line when it has none. A message forwarded in the
// body (its marker says so) is not a quote: it is what the mail is about.
// npos when there is none.
size_t quotedMessageStart(std::string_view body);

}  // namespace tabulon
