// Reads one message body as the form laid it out: a list of (label, value) pairs.
//
// A body that is one JSON object or one "key=value&..." string is read as such
// (structured_body.h). Any other is read line by line through its plain view
// (form_lines.h), so that Markdown, text tables and other separators read as
// labels do. A line opens a field when the template names it (the line
// conversion's prefix rule), when the file's messages show it to be a label
// (form_layout.h), or when its structure does: a table row, a heading ("---
// Name ---"), a "Label:" line at the start of a paragraph or whose value is no
// sentence (but not one standing in free text), and, in a file of too few
// messages to learn from, the message's own shape of short lines above their
// answers. A value runs to the next label, a signature line ("-- "), a rule
// ("---") or a footer paragraph ("Sent via …"); its paragraphs, its indented
// lines and the lines that only look like labels stay in it. Lines at the end of
// the last value that recur in most messages (in shape) or read as a footer are
// what follows the form, not the value.
//
// Immutable after construction; safe to share between threads.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/field_matcher.h"
#include "mail/form_layout.h"
#include "mail/form_lines.h"
#include "mail/form_text.h"
#include "mail/label_shape.h"

namespace tabulon {

class FormReader {
  public:
    // `fields` are the template's entries; `layout` must outlive the reader.
    FormReader(const FieldList& fields, const FormLayout& layout);
    FormReader(const FormReader&) = delete;
    FormReader& operator=(const FormReader&) = delete;

    // `fileNames` are the names of the files the message carries.
    // REQUIRES: `body` has LF line ends.
    void read(std::string_view body, FormText* out,
              const std::vector<std::string>& fileNames = {}) const;

  private:
    // The entry whose name begins `line`, a line of no label shape, where what
    // follows the name may be its value; -1 when none does.
    // The entry a numbered question begins with, or -1.
    int questionEntry(std::string_view line) const;
    int prefixEntry(std::string_view line) const;
    // How many lines the template's names open as "Question? answer" and as
    // "Name.....answer".
    struct PairStyles {
        int questions = 0;
        int leaders = 0;
    };
    PairStyles countPairStyles(const std::vector<FormLine>& lines) const;
    // Whether the first line with text from `from` opens a field the template names.
    bool opensTemplateField(const std::vector<FormLine>& lines, size_t from) const;
    // A line below the body's signature line ("-- ") that opens a field the
    // template names, or empty: the form may stand below a signature.
    std::string_view fieldBelowSignature(std::string_view body) const;
    // Counts as read with a doubt, in a message the file has no other of, each
    // line two, four, ... below a template's label alone on its line, up to
    // the next one, when each such line is shaped like a label: in a run of
    // labels above their answers, they may be labels the template lacks
    // ("E-mail" between "Phone" and "Service") or lines of longer answers (an
    // address's), and one message cannot tell which.
    void doubtPairs(const std::vector<FormLine>& lines, const std::vector<LabelKind>& kinds,
                    FormText* out) const;
    // Counts the template's labels that open a second pair of a line ("...
    // Days: 5") inside another field's value while no field of theirs was read.
    void findLabelsInValues(FormText* out) const;
    // The entries that take the fields of data ("city", "submission.data.city").
    void entriesOfData(FormText* out) const;
    // Where no field of the template was read: a CSV record's, when one names them.
    // Empties the answers that are the form's mark of none.
    void dropMarksOfNoAnswer(FormText* out) const;
    void dropAnswerMarks(FormText* out) const;
    void readCsvWhereNoField(std::string_view body, FormText* out) const;
    // The entry that takes a field with this label (the line it opens; empty:
    // the label's own key alone decides, no name that only begins it), or -1.
    // `key` is the label's labelKey().
    int entryOf(std::string_view line, std::string_view label, std::string_view key) const;
    // The entry whose name begins `line` (the last that does), or -1. A
    // template's empty line begins every line and names none.
    int beginningEntry(std::string_view line) const;

    FieldList fields_;
    std::vector<std::vector<std::string_view>> entryWords_;  // into fields_
    std::vector<std::string_view> names_;                    // into fields_, without colon
    bool asksQuestions_ = false;  // some entry is a whole question ("Your name?")
    bool numbered_ = false;       // some entry opens with a number ("C1. How often?")
    FieldMatcher matcher_;
    std::vector<std::string> keys_;  // labelKey() of each entry
    std::unordered_map<std::string, int, StringViewHash, std::equal_to<>>
        entryKeys_;  // the last entry of each key
    const FormLayout& layout_;
};

}  // namespace tabulon
