#include "mail/field_extractor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulon {
namespace {

struct ExtractCase {
    const char* what;
    FieldList fields;
    std::string body;
    std::vector<std::string> cells;
    std::vector<bool> found;
};

const FieldList kFields = {"Name:", "Phone:", "Comments:"};

const ExtractCase kCases[] = {
    {"values trimmed, any order, case ignored",
     kFields,
     "comments:\tHi  \nPHONE:   555 0100\nName: Ann Lee\n",
     {"Ann Lee", "555 0100", "Hi"},
     {true, true, true}},
    {"a missing field is an empty cell",
     kFields,
     "Name: Bo\nComments: No phone\n",
     {"Bo", "", "No phone"},
     {true, false, true}},
    {"continuation lines up to a blank line",
     kFields,
     "Comments: one\n  two\nthree\n\nnot part of it\nName: Ann\n",
     {"Ann", "", "one\ntwo\nthree"},
     {true, false, true}},
    {"the next field line ends a value",
     kFields,
     "Comments: one\ntwo\nPhone: 1\n",
     {"", "1", "one\ntwo"},
     {false, true, true}},
    {"label above its value",
     kFields,
     "Name:\nEva Berg\n\nComments:\nline one\nline two\n\n",
     {"Eva Berg", "", "line one\nline two"},
     {true, false, true}},
    {"an empty label followed by a blank line stays empty",
     kFields,
     "Phone:\n\nsomething else\n",
     {"", "", ""},
     {false, true, false}},
    {"nothing after a signature line is read",
     kFields,
     "Name: Ann\nComments: hi\n-- \nPhone: 555 (the shop's own)\n",
     {"Ann", "", "hi"},
     {true, false, true}},
    {"a field given twice keeps both values",
     kFields,
     "Name: Ann\nName:\nName: Bo\n",
     {"Ann\nBo", "", ""},
     {true, false, false}},
    {"the last matching entry wins",
     {"E", "Email:", "Name:"},
     "Email: a@b\nEx: 1\n",
     {"x: 1", "a@b", ""},
     {true, true, false}},
    {"lines before any field are ignored",
     kFields,
     "You have a new message:\nwith two lines\n\nName: Ann\n",
     {"Ann", "", ""},
     {true, false, false}},
};

TEST(FieldExtractor, FillsOneRowPerBody) {
    for (const ExtractCase& c : kCases) {
        SCOPED_TRACE(c.what);
        FieldExtractor extractor(c.fields);
        std::vector<std::string> cells;
        std::vector<bool> found;
        extractor.extract(c.body, &cells, &found);
        EXPECT_EQ(cells, c.cells);
        EXPECT_EQ(found, c.found);
    }
}

}  // namespace
}  // namespace tabulon
