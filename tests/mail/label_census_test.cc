#include "mail/label_census.h"
#include "mail/form_end.h"
#include "mail/form_layout.h"
#include "mail/label_shape.h"
#include "mail/template_guess.h"

#include <gtest/gtest.h>

#include "case_file.h"
#include "test_util.h"

namespace tabulon {
namespace {

// The lines are in mail/cases/label_shape.cases.
TEST(LabelShape, WhatALineCouldBe) {
    for (const test::Case& c : test::readCases("mail/cases/label_shape.cases")) {
        for (const std::string& line : c.list("line")) {
            LabelLine label;
            EXPECT_EQ(colonLabelOf(line, &label, 8) ? label.label : "", c.text("colon", ""))
                << line;
            EXPECT_EQ(bareLabelOf(line), c.text("bare", "")) << line;
            if (c.has("key")) {
                EXPECT_EQ(labelKey(line), c.text("key")) << line;
            }
        }
    }
    LabelLine row;
    EXPECT_EQ(labelKey("E-Mail :"), "e-mail");
    EXPECT_EQ(labelKey(" Name "), "name");
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
    // ... and of up to 200 bytes.
    EXPECT_TRUE(tableRowOf(test::repeat("abcdefghijkl ", 15) + "abcd:\tx", &row));
    EXPECT_FALSE(tableRowOf(test::repeat("abcdefghijkl ", 15) + "abcde:\tx", &row));
    for (const char* footer : {"(Sent from my phone)", "You received this because you asked"})
        EXPECT_TRUE(isFooterLine(footer)) << footer;
    EXPECT_FALSE(isFooterLine("Thank you for the quick service"));
    EXPECT_TRUE(isRuleLine("* * *"));
    EXPECT_FALSE(isRuleLine("--"));
    // Three rows of Tab-parted cells are columns; "Label:<Tab><Tab>value" is a pair.
    EXPECT_FALSE(tableRowOf("09:14\t0x8007\tC:\\Temp", &row));
    EXPECT_TRUE(tableRowOf("Name:\t\tAnn", &row));
    for (const char* sent :
         {"Envoy\xc3\xa9 de mon iPhone", "Get Outlook for Android<https://x.example/a>",
          "Von meinem Samsung Galaxy gesendet"})
        EXPECT_TRUE(namesSendingDevice(sent)) << sent;
    for (const char* answer : {"Android", "My iPhone fell in the sink.", "Sent from the office"})
        EXPECT_FALSE(namesSendingDevice(answer)) << answer;
    // A site's name without its scheme: a top-level name of two to six letters.
    for (const char* site : {"Sent by forms.example.museum", "see shop.example.de/kontakt"})
        EXPECT_TRUE(readsAsFooter(site)) << site;
    for (const char* notSite : {"forms.example.abcdefg", "v1.example.d", "mail a.b@example.org"})
        EXPECT_FALSE(readsAsFooter(notSite)) << notSite;
    // One question naming whom it asks: one or two capitalised words apart,
    // and at least two words alike.
    auto same = [](const char* a, const char* b) {
        return isSameQuestion(labelWordsOf(a), labelWordsOf(b));
    };
    EXPECT_TRUE(same("Which course, Ingrid?", "Which course, Ana Maria?"));
    EXPECT_FALSE(same("Which course, Ingrid?", "Which course, Ana Maria Silva?"));
    EXPECT_FALSE(same("Which course, Ingrid?", "Which course, dear?"));
    EXPECT_FALSE(same("Course, Ingrid?", "Course, Mateo?"));
    EXPECT_TRUE(holdsTimeOfDay("sent at 9:30"));
    EXPECT_FALSE(holdsTimeOfDay(":30 minutes"));
    EXPECT_TRUE(holdsIpAddress("from 192.0.2.33"));
    // A stamp holds one time of day, with its seconds and zone; a span of two
    // is someone's answer.
    for (const char* stamp :
         {"17-12-2026 09:10", "2026-12-17T09:10:40+01:00", "2026-12-17 09:10:40-05:00"})
        EXPECT_TRUE(isStampOrLink(stamp)) << stamp;
    for (const char* span : {"de 10:00 a 14:00", "2026-12-17 10:00-14:00"})
        EXPECT_FALSE(isStampOrLink(span)) << span;
    for (const char* notIp : {"version 1.2.3.4.5", "12.5 kg", "1.2.3", "1.2.3.", "1234.1.1.1"})
        EXPECT_FALSE(holdsIpAddress(notIp)) << notIp;
    EXPECT_TRUE(isMarkShaped("_No response_"));
    EXPECT_TRUE(isMarkShaped("(no answer given)"));
    EXPECT_FALSE(isMarkShaped("(no answer was given)"));
    // A line's shape keeps its words when four letters are left to tell it by.
    EXPECT_EQ(lineShape("Nr. 12 ab"), "Nr. 0 ab");
    EXPECT_EQ(lineShape("Nr. 12 a"), "");
    // A month's name between a date's numbers is one mark, a word before a
    // whole date is kept.
    EXPECT_EQ(lineShape("Submitted Dec 01, 2025 · ID voyx8"), "Submitted 0 0 0 · ID 0");
    EXPECT_EQ(lineShape("Sent 1. Dezember 2025"), "Sent 0 0 0");
    EXPECT_EQ(lineShape("Sent 2026-05-05 22:30 by IP"), "Sent 0 0 by IP");
    EXPECT_TRUE(isMarkShaped(std::string("(").append(38, 'n') + ")"));
    EXPECT_FALSE(isMarkShaped(std::string("(").append(39, 'n') + ")"));
    EXPECT_FALSE(isMarkShaped("(11) 95555-0142"));
}

// The guess reads the labels as the conversion finds them, whatever the layout
// (mail/cases/template_guess.cases).
TEST(TemplateGuess, ProposesTheFormsLabelsInTheirOrder) {
    for (const test::Case& c : test::readCases("mail/cases/template_guess.cases")) {
        test::StringSource source(c.text("mail"), 7);
        LabelCensus census;
        ASSERT_TRUE(countLabels(source, &census).ok());
        EXPECT_EQ(guessTemplate(census), c.list("fields")) << c.where;
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

// No real form has more than 512 labels: those most often seen are kept.
TEST(LabelCensus, KeepsTheMostFrequent512Labels) {
    LabelCensus census;
    std::vector<SeenLabel> labels;
    for (int i = 0; i < 600; ++i)
        labels.push_back({"Label " + std::to_string(i), true});
    census.add(labels);
    labels.resize(513);
    census.add(labels);
    std::vector<LabelCensus::Label> kept = census.labels(1);
    ASSERT_EQ(kept.size(), 512u);
    EXPECT_EQ(kept.front().messages, 2u);
}

// Labels are ordered as most messages order them, not by their mean place: B
// stands first in one message, after A in two.
TEST(LabelCensus, OrdersLabelsAsMostMessagesDo) {
    LabelCensus census;
    census.add({{"A", true}, {"B", true}});
    census.add({{"A", true}, {"B", true}});
    census.add({{"B", true}, {"C", true}, {"D", true}, {"E", true}, {"F", true}, {"A", true}});
    std::vector<LabelCensus::Label> kept = census.labels(2);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].text, "A");
    EXPECT_EQ(kept[1].text, "B");
}

}  // namespace
}  // namespace tabulon
