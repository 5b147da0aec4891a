// The lines of a message body as the form reader and the layout learner read
// them: each line as the mail shows it, and beside it a plain view in which
// markup and separators no longer hide a label ("**City:** Lyon", "* City: Lyon",
// "| City | Lyon |", "City = Lyon", "City -> Lyon" and "City — Lyon" all read "City: Lyon" or
// "City<Tab>Lyon"; "Nom ....... Girard" reads "Nom: Girard"). A line holding two
// pairs ("Name: Ann    Phone: 555") is two; a row of a text table drawn over
// several lines between its rules is one.
// Label tests read the view; values keep the mail's own text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

struct FormLine {
    std::string_view text;  // as the mail shows it, blanks trimmed; empty for a blank line
    std::string_view view;  // what label tests read
    unsigned indent = 0;    // blanks before the text
    // The line goes on with the value above it, whatever it looks like: the
    // rest of a table's cell (a text table's wrapped row, a line of an HTML cell).
    bool continued = false;
    bool bulleted = false;  // a list item ("- ", "* ", "• ")
    bool linkOnly = false;  // the text of a link alone (an HTML button)
    bool dashed = false;    // the view's label comes before a dash ("City — Lyon")
};

// "-- " (and "--", as some programs trim it): the line above a signature.
bool isSignatureLine(std::string_view line);

// Splits `body` (LF line ends) into lines up to the line above a signature.
// The views point into `body` and `*storage`, which must outlive `lines`.
void readFormLines(std::string_view body, std::vector<FormLine>* lines, std::string* storage);

}  // namespace tabulon
