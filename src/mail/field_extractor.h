// One row from one message body: the form read as the mail lays it out
// (form_reader.h), then the template's entries pick and order its fields. A field
// belongs to an entry when its label line begins with the entry (ASCII case
// ignored, the last matching entry wins, as in the line conversion) or when the
// two are the same label ("Name" and "Name:").
//
// A field that appears twice in one message keeps both values, joined with LF in
// the order they came, so that nothing is lost; a repeat with no value adds
// nothing. Immutable once the layout is set; safe to share between threads.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/form_layout.h"
#include "mail/form_reader.h"
#include "mail/label_census.h"
#include "templates/field_list.h"

namespace tabulon {

// What one body gave besides the cells.
struct ExtractedExtras {
    size_t unplacedLines = 0;
    std::vector<std::string> unplacedSamples;    // the first few of them
    size_t doubtfulLabels = 0;                   // FormText::doubtfulLabels
    size_t doubtfulEnds = 0;                     // FormText::doubtfulEnds
    size_t labelledLines = 0;                    // label-shaped lines kept inside values
    std::vector<std::string> labelledTextLines;  // the first few of them
    std::vector<SeenLabel> otherLabels;          // labels of fields no entry takes, in order
};

class FieldExtractor {
  public:
    explicit FieldExtractor(const FieldList& fields, FormLayout layout = {});

    // What the file's first messages taught. REQUIRES: no extract() runs meanwhile.
    void setLayout(FormLayout layout);
    const FormLayout& layout() const { return *layout_; }

    // Sets `cells` to one value per entry (empty when missing) and `found` to
    // whether each entry's label was in the body; `fileNames` are the names of
    // the files the message carries.
    // REQUIRES: `body` has LF line ends.
    void extract(std::string_view body, std::vector<std::string>* cells, std::vector<bool>* found,
                 ExtractedExtras* extras = nullptr,
                 const std::vector<std::string>& fileNames = {}) const;

    size_t fieldCount() const { return fields_.size(); }

  private:
    FieldList fields_;
    std::unique_ptr<FormLayout> layout_;
    std::unique_ptr<FormReader> reader_;
};

}  // namespace tabulon
