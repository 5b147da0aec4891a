#include "mail/label_census.h"
#include "mail/label_shape.h"
#include "mail/template_guess.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tabulon {
namespace {

TEST(LabelShape, WhatALineCouldBe) {
    const struct {
        const char* line;
        const char* colon;  // the label of "Label: value", or "" when none
        const char* bare;   // as a label without a colon
    } kCases[] = {
        {"Name: Ann", "Name:", ""},
        {"Your Message:", "Your Message:", ""},
        {"E-mail address: a@b", "E-mail address:", ""},
        {"T\xc3\xa9l\xc3\xa9phone: 01", "T\xc3\xa9l\xc3\xa9phone:", ""},
        {"Nom : Dupont", "Nom :", ""},
        {"Nom\xc2\xa0: Dupont", "Nom\xc2\xa0:", ""},
        {"\xe5\x90\x8d\xe5\x89\x8d\xef\xbc\x9a\xe5\xb1\xb1\xe7\x94\xb0",
         "\xe5\x90\x8d\xe5\x89\x8d\xef\xbc\x9a", ""},
        {"_subject: New lead", "_subject:", ""},
        {"Name........: Ann", "Name........:", ""},
        {"Name       : Ann", "Name       :", ""},
        {"E-mail_1.(a)/b&c?#*,+\"d\"'e': x", "E-mail_1.(a)/b&c?#*,+\"d\"'e':", ""},
        {"Which products are you interested in?: Apples",
         "Which products are you interested in?:", ""},
        {"http://shop.example", "", ""},
        {"Meeting at 10:30", "", ""},
        {"Note:x", "", ""},
        {": nothing", "", ""},
        {"This is a whole long sentence with many words: no", "", ""},
        {"Price <b>: 1", "", ""},
        {"Name", "", "Name"},
        {"Which products are you interested in?", "", "Which products are you interested in?"},
        {"Thanks for writing.", "", ""},
        {"Guten Tag,", "", ""},
        {"Two  blanks", "", ""},
        {"+45 5555 0101", "", ""},
        {"1st choice", "", ""},
    };
    for (const auto& c : kCases) {
        LabelLine label;
        EXPECT_EQ(colonLabelOf(c.line, &label, 8) ? label.label : "", c.colon) << c.line;
        EXPECT_EQ(bareLabelOf(c.line), c.bare) << c.line;
    }
    LabelLine row;
    EXPECT_EQ(labelKey("E-Mail :"), "e-mail");
    EXPECT_EQ(labelKey("Name*:"), "name");
    EXPECT_EQ(labelKey("Name.....:"), "name");
    EXPECT_EQ(tidyLabel("Name\t:"), "Name:");
    EXPECT_EQ(headingLabelOf("--- Full Name ---"), "Full Name");
    for (const char* notHeading :
         {"--- ---", "------", "aa Name aa", "- Name -", "--- Name ", "--Name --", "-= Name =="})
        EXPECT_EQ(headingLabelOf(notHeading), "") << notHeading;
    ASSERT_TRUE(tableRowOf("Name\t: Ann", &row));
    EXPECT_EQ(row.value, "Ann");
    // A table row's label cell holds a question of up to sixteen words.
    EXPECT_TRUE(tableRowOf(test::repeat("word ", 16) + ":\tx", &row));
    EXPECT_FALSE(tableRowOf(test::repeat("word ", 17) + "\tx", &row));
    for (const char* footer : {"(Sent from my phone)", "You received this because you asked"})
        EXPECT_TRUE(isFooterLine(footer)) << footer;
    EXPECT_FALSE(isFooterLine("Thank you for the quick service"));
    EXPECT_TRUE(isRuleLine("* * *"));
    EXPECT_FALSE(isRuleLine("--"));
}

// The guess reads the labels as the conversion finds them, whatever the layout.
TEST(TemplateGuess, ProposesTheFormsLabelsInTheirOrder) {
    const struct {
        const char* mail;
        FieldList fields;
    } kCases[] = {
        // One row per label, its value below, no colon (as plugins' HTML tables read).
        {"From a@b Mon Nov 30 09:14:02 2026\n\nName\nAnn Berg\nEmail\na@x.example\nComment or "
         "Message\nHello from Ann\n\nFrom a@b Mon Nov 30 10:14:02 2026\n\nName\nBo Ek\nEmail\n"
         "b@x.example\nComment or Message\nHi, Bo here\n",
         {"Name", "Email", "Comment or Message"}},
        // Labels, a blank line, answers; footers left out.
        {"Subject: x\n\nWhich products are you interested in?\n\nApples\n\nYour name\n\nAnn\n\n"
         "(Sent via Shop Site)\n",
         {"Which products are you interested in?", "Your name"}},
        // Table rows, label cell without a colon.
        {"Content-Type: text/html\n\n<table><tr><th>Name</th><td>Ann</td></tr><tr><th>How did "
         "you hear about us?</th><td>Radio</td></tr></table><p>Powered by Forms</p>",
         {"Name", "How did you hear about us?"}},
        // A heading that never has a value is no field; padded labels come tidy.
        {"Subject: x\n\nSubmitted values are:\nName.......: Ann\nE-mail.....: a@x.example\n\n"
         "Edit this form: https://forms.example/e\n",
         {"Name:", "E-mail:"}},
        // French typography, and a colon in free text that stays text.
        {"Subject: x\n\nNom : Dupont\nCourriel : j@d.example\nMessage : Bonjour,\nAspect ratio: "
         "3:1 would also work.\n",
         {"Nom :", "Courriel :", "Message :"}},
    };
    for (const auto& c : kCases) {
        test::StringSource source(c.mail, 7);
        LabelCensus census;
        ASSERT_TRUE(countLabels(source, &census).ok());
        EXPECT_EQ(guessTemplate(census), c.fields) << c.mail;
    }
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
