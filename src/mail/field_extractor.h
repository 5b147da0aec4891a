// One row from one message body: the template's fields looked up line by line.
//
// A line belongs to a field when it begins with the field's name (ASCII case
// ignored, the last matching name of the template wins, as in the line
// conversion). The value is the rest of the line with the blanks around it
// trimmed. Lines below a field line that match no field add to its value, joined
// with LF, until a blank line, the next field line or a signature line ("-- ");
// so a field line with nothing after its name takes the lines below it. Nothing
// after a signature line is read: it is not the form's text.
//
// A field that appears twice in one message keeps both values, joined with LF in
// the order they came, so that nothing is lost; a repeat with no value adds
// nothing. Immutable after construction; safe to share between threads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/field_matcher.h"
#include "templates/field_list.h"

namespace tabulon {

class FieldExtractor {
  public:
    explicit FieldExtractor(const FieldList& fields);

    // Sets `cells` to one value per field (empty when missing) and `found` to
    // whether each field's line was in the body.
    // REQUIRES: `body` has LF line ends.
    void extract(std::string_view body, std::vector<std::string>* cells,
                 std::vector<bool>* found) const;

    size_t fieldCount() const { return count_; }
    // Whether `line` would be taken as a field line.
    bool isFieldLine(std::string_view line) const {
        return matcher_.match(line.data(), line.size()) >= 0;
    }

  private:
    FieldMatcher matcher_;
    size_t count_;
};

// "-- " (and "--", as some programs trim it): the line above a signature.
bool isSignatureLine(std::string_view line);

// The lines of a message body, split at line feeds, up to the line above a
// signature: what both the fields and the label census read.
class BodyLines {
  public:
    explicit BodyLines(std::string_view body) : body_(body) {}
    // The next line into `line`; false at the end of the body or at a signature.
    bool next(std::string_view* line);

  private:
    std::string_view body_;
    size_t pos_ = 0;
};

}  // namespace tabulon
