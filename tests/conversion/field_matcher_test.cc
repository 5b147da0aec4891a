#include "conversion/field_matcher.h"

#include <gtest/gtest.h>

#include "conversion/checkline.h"

namespace tabulon {
namespace {

int match(const FieldList& fields, const std::string& line) {
    return FieldMatcher(fields).match(line.data(), line.size());
}

TEST(FieldMatcher, LastMatchingEntryInListOrder) {
    EXPECT_EQ(match({"Name", "Name2"}, "Name2: x"), 1);
    EXPECT_EQ(match({"Name2", "Name"}, "Name2: x"), 1);
    EXPECT_EQ(match({"Name", "Name"}, "name"), 1);  // repeated entries: the later one
    EXPECT_EQ(match({"Name", "City"}, "Zip: 1"), -1);
    EXPECT_EQ(match({"", "City"}, "Zip: 1"), 0);
    EXPECT_EQ(match({"City", ""}, "City: x"), 1);
    EXPECT_EQ(match({"A", ""}, ""), 1);
    EXPECT_EQ(match({"A"}, ""), -1);
}

TEST(FieldMatcher, ChecklineResults) {
    FieldMatcher matcher({"Name:", "City:"});
    EXPECT_EQ(checkline("name: Ann", matcher), " Ann\t");
    EXPECT_EQ(checkline("CITY:Oslo ", matcher), "Oslo \r");
    EXPECT_EQ(checkline("City", matcher), "");
    EXPECT_EQ(checkline("", matcher), "");
    EXPECT_EQ(matcher.longestEntry(), 5u);
}

}  // namespace
}  // namespace tabulon
