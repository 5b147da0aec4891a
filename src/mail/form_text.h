// What reading a message body gives: its fields (label, value and the template
// entry that takes each) and the doubts met on the way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tabulon {

// How many doubts of one message are kept in words to be shown.
inline constexpr size_t kKeptSamples = 3;

struct FormField {
    std::string label;  // as shown
    std::string value;  // trimmed, LF between its lines
    int entry = -1;     // the template entry that takes it, or -1
    bool note = false;  // the sending tool's note after the form ("Submitted: ..."), no label of it
};

struct FormText {
    std::vector<FormField> fields;
    // Lines of text between the form's fields that no field took, and the
    // first few doubts in words: 'no field took "..."', 'a label that may be
    // the text of Message: "..."'.
    size_t unplacedLines = 0;
    std::vector<std::string> unplacedSamples;
    // Labels read with a doubt: labels that open a field on their shape alone
    // where the text of the field above may go on, and labels of the template
    // that stand inside another field's value while their own field is absent
    // (their samples are among the unplaced ones).
    size_t doubtfulLabels = 0;
    // Lines kept at the end of the last value that may follow the form all the
    // same (their samples are among the unplaced ones).
    size_t doubtfulEnds = 0;
    // Lines inside values that have the shape of a label the form does not use,
    // and the first few of them.
    size_t labelledLines = 0;
    std::vector<std::string> labelledTextLines;
};

}  // namespace tabulon
