// A reply's quote of the message it answers, as mail programs write it without
// ">" before each line: a line such as "-----Original Message-----", then the
// quoted message's From:, Sent: (or Date:), To: and Subject: lines and its text.
#pragma once

#include <cstddef>
#include <string_view>

namespace tabulon {

// A line that announces a quoted message: "-----Original Message-----", a rule
// of dashes or underscores, "Begin forwarded message:".
bool isQuoteMarker(std::string_view line);

// An earlier message held in a body: where it begins (its marker line, or its
// From: line when it has none), where its own text begins (below its header
// block), and whether its marker says it is forwarded.
struct QuotedMessage {
    size_t start = std::string_view::npos;  // npos: the body holds none
    size_t text = std::string_view::npos;
    bool forwarded = false;
};

// The first earlier message held in `body` (LF line ends).
QuotedMessage findQuotedMessage(std::string_view body);

// Where the text of a forwarded message begins when `body` opens with its
// header block (From:, Sent:, To:, Subject: in any order): below the block;
// else 0.
size_t textBelowHeaderBlock(std::string_view body);

// The longest name of such a field, in bytes: a bit of a 32-bit set per length.
constexpr size_t kMaxShownNameBytes = 31;

// The English name ("from", "sent", "to", "subject") of a header field named as
// mail programs name it in a quoted header block or in mail saved as text, in
// any of their languages ("De", "Enviado", "Para", "Assunto"); else empty.
std::string_view shownFieldOf(std::string_view name);

// Whether a subject says its message forwards another: "Fwd:", "FW:", "WG:",
// "TR:", "RV:", "I:", "VS:", "VB:", "Doorst:", "PD:", "ENC:".
bool isForwardSubject(std::string_view subject);

// Whether a subject says its message answers another: "Re:", "AW:", "SV:",
// "Antw:", "Odp:", "R:".
bool isReplySubject(std::string_view subject);

}  // namespace tabulon
