// Reads one message body as the form laid it out: a list of (label, value) pairs.
//
// A line opens a field when the template names it (the line conversion's prefix
// rule), when the file's messages show it to be a label (form_layout.h), or when
// its structure does: a table row, a heading ("--- Name ---"), a "Label:" line at
// the start of a paragraph or whose value is no sentence (but not one that follows
// free text over a blank line), and, in a file of too few messages to learn from,
// the message's own shape of short lines above their answers. A value runs until
// the next label, a signature line ("-- "), a rule ("---"), a footer ("Sent via
// …") or a line that recurs unchanged in most messages. Blank lines inside a
// value stay (one empty line between paragraphs) when the value is free text (its
// last line ends a sentence or a greeting, or is long) or a label still waits for
// its answer; a short answer (a name, a list, an address) ends at a blank line.
//
// Immutable after construction; safe to share between threads.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/field_matcher.h"
#include "mail/form_layout.h"

namespace tabulon {

struct FormField {
    std::string label;  // as shown
    std::string value;  // trimmed, LF between its lines
    int entry = -1;     // the template entry that takes it, or -1
};

struct FormText {
    std::vector<FormField> fields;
    // Lines of text after the first label that no field took (a footer aside).
    size_t unplacedLines = 0;
};

class FormReader {
  public:
    // `fields` are the template's entries; `layout` must outlive the reader.
    FormReader(const FieldList& fields, const FormLayout& layout);

    // REQUIRES: `body` has LF line ends.
    void read(std::string_view body, FormText* out) const;

  private:
    // The entry that takes a field with this label (the line it opens), or -1.
    // `key` is the label's labelKey().
    int entryOf(std::string_view line, std::string_view label, std::string_view key) const;

    FieldMatcher matcher_;
    std::vector<std::string> keys_;  // labelKey() of each entry
    std::unordered_map<std::string, int, StringViewHash, std::equal_to<>>
        entryKeys_;  // the last entry of each key
    const FormLayout& layout_;
};

}  // namespace tabulon
