// The header block at the top of a message: its fields as they stand (not yet
// decoded) and where the body begins. Finds fields only; GMime decodes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

struct HeaderField {
    std::string_view name;
    std::string_view value;  // raw, folded lines included, blanks after the colon dropped
};

struct HeaderBlock {
    std::vector<HeaderField> fields;
    size_t bodyOffset = 0;  // where the body begins in the message
    // False when the message does not open with header lines that mail has (From,
    // Subject, Date, ...): then the whole message is body.
    bool isMail = false;

    // The raw value of the first field named `name` (ASCII case ignored), unfolded;
    // empty when absent.
    std::string value(std::string_view name) const;
    bool has(std::string_view name) const;
};

// REQUIRES: `message` has LF line ends; it must outlive the result.
HeaderBlock readHeaderBlock(std::string_view message);
// The same into `block`, whose field list keeps its memory for the next message.
void readHeaderBlock(std::string_view message, HeaderBlock* block);

// A line that opens a header field: a field name (printable ASCII, no blank or
// colon) followed by a colon.
bool isHeaderLine(std::string_view line);
// "From:<Tab>...": the way a program that saves mail as text writes fields.
bool tabAfterColon(std::string_view line);
// A line of the fields a mail program shows of a message it saves as text, as
// a header line is, or with letters beyond ASCII in its name ("Předmět:<Tab>").
bool isFieldLine(std::string_view line);
// Among such fields, one of the program's own of a few words ("Bifogade
// filer:<Tab>", "Date de l'envoi:<Tab>"), which no list names.
bool isOtherSavedField(std::string_view line);
// The field name of a header line.
std::string_view headerName(std::string_view line);
// From, To, Subject, Date, Received, Message-ID, ...: names only mail headers have.
bool isMailHeaderName(std::string_view name);
// A field a mail server sets at the top of a message it takes in ("Received:",
// "Delivered-To:", "ARC-Seal:"): no form's label, and the first line of a raw
// message saved right after another's last.
bool isTraceField(std::string_view line);

}  // namespace tabulon
