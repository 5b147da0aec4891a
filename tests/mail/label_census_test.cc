#include "mail/label_census.h"
#include "mail/template_guess.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tabulon {
namespace {

TEST(LabelCensus, WhatCountsAsALabel) {
    const struct {
        const char* line;
        const char* label;
        const char* bare;  // as a label without a colon
    } kCases[] = {
        {"Name: Ann", "Name:", ""},
        {"Your Message:", "Your Message:", ""},
        {"E-mail address: a@b", "E-mail address:", ""},
        {"T\xc3\xa9l\xc3\xa9phone: 01", "T\xc3\xa9l\xc3\xa9phone:", ""},
        {"http://shop.example", "", ""},
        {"Meeting at 10:30", "", ""},
        {"Note:x", "", ""},
        {": nothing", "", ""},
        {"  Name: indented", "", ""},
        {"This is a whole sentence with words: no", "", ""},
        {"Price <b>: 1", "", ""},
        {"Name", "", "Name"},
        {"Comment or Message", "", "Comment or Message"},
        {"Thanks for writing.", "", ""},
        {"These are five whole words", "", ""},
        {"Name ", "", ""},
        {"Two  blanks", "", ""},
        {"+45 5555 0101", "", ""},
        {"How can we help", "", "How can we help"},
        {"1st choice", "", ""},
        {" Name", "", ""},
        {"Averyveryverylongwordthatgoesonandonando", "",
         "Averyveryverylongwordthatgoesonandonando"},
        {"Averyveryverylongwordthatgoesonandonandon", "", ""},  // 41 bytes
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(labelOf(c.line), c.label) << c.line;
        EXPECT_EQ(bareLabelOf(c.line), c.bare) << c.line;
    }
}

TEST(LabelCensus, LabelsWithoutAColonAreGuessedWhereNoMessageHasOne) {
    // As an HTML notification with a row for each label and one for its value reads.
    LabelCensus plugin;
    for (const char* person : {"Ann Berg", "Bo Ek", "Cai Lund"}) {
        plugin.add(std::string("Name\n") + person + "\nEmail\n" + person[0] +
                   "@x.example\nNewsletter\nYes\nComment or Message\nHello from " + person +
                   "\nsecond line\n\nSent from the contact form.\nPowered by Forms\n");
    }
    EXPECT_EQ(guessTemplate(plugin), (FieldList{"Name", "Email", "Comment or Message"}));

    // Where most messages have "Label:" lines, lines without a colon are no labels.
    LabelCensus colons;
    for (const char* person : {"Ann", "Bo"})
        colons.add(std::string("Name: ") + person + "\nMessage\n" + person + " says hi\n");
    EXPECT_EQ(guessTemplate(colons), (FieldList{"Name:"}));
    EXPECT_EQ(colons.bareLabels(2).size(), 1u);  // "Message"
}

// Messages marked deleted give no row, so they do not outvote the others.
TEST(LabelCensus, MessagesThatGiveNoRowAreNotCounted) {
    const std::string deleted =
        "From a@b Mon Nov 30 09:14:02 2026\nX-Mozilla-Status: 0009\n"
        "From: f@x\n\nOther: x\n\n";
    test::StringSource input(deleted + deleted +
                             "From a@b Mon Nov 30 09:14:02 2026\nFrom: f@x\n\nName: Ann\n");
    LabelCensus census;
    ASSERT_TRUE(countLabels(input, &census).ok());
    EXPECT_EQ(census.messages(), 1u);
    EXPECT_EQ(guessTemplate(census), (FieldList{"Name:"}));
}

}  // namespace
}  // namespace tabulon
