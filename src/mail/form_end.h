// Where a form's fields end in a message body: what follows the last field (a
// footer, the sending tool's notes on the message, text that recurs in most
// messages) is no value, told by recurrence, position and form, in any language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mail/form_layout.h"

namespace tabulon {

// A line appended to a value: where it begins in the value, which paragraph of
// the value it is in (0: the first), the line (as shown and as viewed), whether
// it is the value's first line, whether a blank line stands above it; or a mark
// that the sending tool's notes begin there (`note`); whether it is a link's
// text alone.
struct TailLine {
    size_t from;
    size_t paragraph;
    std::string_view text;
    std::string_view view;
    bool first;
    bool belowBlank;
    bool note;
    bool linkOnly;          // the text of a link alone (an HTML button)
    bool dropped = false;   // a button below the answer, left out of the value
    bool signsOff = false;  // the sender's name signs the letter off here
};

// Whether a line is a mail program's note of what sent it: three to seven words,
// no sentence's end, one of them a phone's or a mail program's name ("Sent from
// my iPhone", "Dapatkan Outlook untuk Android<https://...>").
bool namesSendingDevice(std::string_view line);

// Whether a line is a few words and the name of one of `fileNames`.
bool namesFile(std::string_view line, const std::vector<std::string>& fileNames);

// Whether a line names the site or a link, or says the mail was sent by itself
// ("automatisch erzeugt", "do not reply"): a footer when it follows the form.
bool readsAsFooter(std::string_view line);

// Whether a text holds a time of day: "18:40", "۱۸:۴۰".
bool holdsTimeOfDay(std::string_view text);

// Whether a text holds an IPv4 address: "192.0.2.33".
bool holdsIpAddress(std::string_view text);

// A value that is only a date stamp or a link: "17-12-2026 09:10",
// "2026/04/06 15:22", "Thu 17 Dec 2026, 09:10", "https://crm.example.com/c/42".
bool isStampOrLink(std::string_view value);

// Cuts from `value`, the last field's, what follows the form: its last
// paragraphs when a line of each reads as a footer, is a note, names a file the
// message carries (`fileNames`) or recurs in most messages (`layout`), then its
// last lines that do. A first answer that recurs ("Yes", "Norway") is an answer.
// `tail` holds the lines appended to `value`. With `paragraphsOnly`, only whole
// paragraphs below the answer's first are cut (for an answer a label the
// template lacks follows), and, below an empty answer, a first paragraph that
// most messages have with a footer's line in it.
// Returns the lines kept that may follow the form all the same: a button's
// text, a stamp that recurs in shape.
std::vector<std::string_view> cutFollowingText(const std::vector<TailLine>& tail,
                                               const FormLayout& layout,
                                               const std::vector<std::string>& fileNames,
                                               std::string* value, bool paragraphsOnly = false);

}  // namespace tabulon
