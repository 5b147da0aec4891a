#include "mail/field_extractor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulon {
namespace {

TEST(FieldExtractor, FillsOneRowPerBody) {
    const struct {
        std::string body;
        std::vector<std::string> cells;
        std::vector<bool> found;
        FieldList fields = {"Name:", "Phone:", "Comments:"};
    } kCases[] = {
        // Values trimmed, any order, case ignored.
        {"comments:\tHi  \nPHONE:   555 0100\nName: Ann Lee\n",
         {"Ann Lee", "555 0100", "Hi"},
         {true, true, true}},
        // Lines before any field are ignored; a missing field is an empty cell.
        {"You have a new message:\nwith two lines\n\nName: Bo\nComments: No phone\n",
         {"Bo", "", "No phone"},
         {true, false, true}},
        // A value runs on up to a blank line or the next field line.
        {"Comments: one\n  two\nthree\n\nnot part of it\nPhone: 1\nx\nName: Ann\n",
         {"Ann", "1\nx", "one\ntwo\nthree"},
         {true, true, true}},
        // A label above its value; an empty one followed by a blank line stays empty.
        {"Name:\nEva Berg\n\nPhone:\n\nsomething else\nComments:\nline one\nline two\n\n",
         {"Eva Berg", "", "line one\nline two"},
         {true, true, true}},
        // Nothing after a signature line is read.
        {"Name: Ann\nComments: hi\n-- \nPhone: 555 (the shop's own)\n",
         {"Ann", "", "hi"},
         {true, false, true}},
        {"Name: Ann\nName:\nName: Bo\n", {"Ann\nBo", "", ""}, {true, false, false}},
        // The last matching entry wins.
        {"Email: a@b\nEx: 1\n", {"x: 1", "a@b", ""}, {true, true, false}, {"E", "Email:", "Name:"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.body);
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
