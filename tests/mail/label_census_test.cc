#include "mail/label_census.h"

#include <gtest/gtest.h>

#include "mail/message_report.h"
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

TEST(LabelCensus, GuessesTheUsualLabelsInTheirUsualOrder) {
    LabelCensus census;
    census.add("Name: Ann\nEmail: a@x\nPhone: 1\nComments: hi\nNote: once\n");
    census.add("Name: Bo\nEmail: b@x\nComments: no phone\nname: again\n");
    census.add("Email: c@x\nName: Carla\nPhone: 2\nComments:\nthree\n-- \nShop: x\n");
    EXPECT_EQ(census.messages(), 3u);
    EXPECT_EQ(guessTemplate(census), (FieldList{"Name:", "Email:", "Phone:", "Comments:"}));
    std::vector<LabelCensus::Label> all = census.labels(1);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].messages, 3u);  // "name:" again counts once
    EXPECT_EQ(all[4].text, "Note:");
}

TEST(LabelCensus, TemplateFromAFile) {
    test::StringSource source(
        "From a@b  Mon Nov 30 09:14:02 2026\nSubject: s\n\nCity: Oslo\nZip: 1\n\n"
        "From a@b  Mon Nov 30 10:14:02 2026\nSubject: s\n\nCity: Rome\nZip: 2\n",
        5);
    LabelCensus census;
    ASSERT_TRUE(countLabels(source, &census).ok());
    EXPECT_EQ(fieldNamesText(guessTemplate(census)), "City:\rZip:\r");  // no header block labels
}

TEST(MessageReport, RendersEveryPart) {
    MessageReport report;
    report.messagesRead = 4;
    report.rowsWritten = 4;
    report.columns = {"Date", "Name:"};
    report.missing = {0, 1};
    report.undecodedParts = 1;
    report.undecodedSamples = {"m.mbox, message 2: broken base64"};
    report.unknownLabels = {{"Company:", 3, 1.0}};
    EXPECT_EQ(renderReport(report),
              "Messages read: 4\nRows written: 4\nMessages without each column:\n  Date 0\n"
              "  Name: 1\nParts that could not be decoded: 1\n  m.mbox, message 2: broken base64\n"
              "Labels in many messages that the template lacks:\n  Company: (3 messages)\n");
}

}  // namespace
}  // namespace tabulon
