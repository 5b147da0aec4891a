#include "mail/label_census.h"

#include <gtest/gtest.h>

#include "mail/template_guess.h"
#include "test_util.h"

namespace tabulon {
namespace {

TEST(LabelCensus, WhatCountsAsALabel) {
    const struct {
        const char* line;
        const char* label;
    } kCases[] = {
        {"Name: Ann", "Name:"},
        {"Your Message:", "Your Message:"},
        {"E-mail address: a@b", "E-mail address:"},
        {"Téléphone: 01", "Téléphone:"},
        {"http://shop.example", ""},
        {"Meeting at 10:30", ""},
        {"Note:x", ""},
        {": nothing", ""},
        {"  Name: indented", ""},
        {"This is a whole sentence with words: no", ""},
        {"Price <b>: 1", ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(labelOf(c.line), c.label) << c.line;
}

// The labels of most messages' bodies, in their usual order; header fields and
// what follows a signature are not labels.
TEST(LabelCensus, GuessesTheUsualLabelsInTheirUsualOrder) {
    const std::string from = "From a@b  Mon Nov 30 09:14:02 2026\nSubject: s\n\n";
    test::StringSource source(
        from + "Name: Ann\nEmail: a@x\nPhone: 1\nComments: hi\nNote: once\n\n" + from +
            "Name: Bo\nEmail: b@x\nComments: no phone\nname: again\n\n" + from +
            "Email: c@x\nName: Carla\nPhone: 2\nComments:\nthree\n-- \nShop: x\n",
        5);
    LabelCensus census;
    ASSERT_TRUE(countLabels(source, &census).ok());
    EXPECT_EQ(census.messages(), 3u);
    EXPECT_EQ(guessTemplate(census), (FieldList{"Name:", "Email:", "Phone:", "Comments:"}));
    std::vector<LabelCensus::Label> all = census.labels(1);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].messages, 3u);  // "name:" again counts once
    EXPECT_EQ(all[4].text, "Note:");
}

}  // namespace
}  // namespace tabulon
