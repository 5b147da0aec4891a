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
        // A value runs to the next label, past blank lines.
        {"Comments: one\n  two\nthree\n\nstill part of it\nPhone: 1\nx\nName: Ann\n",
         {"Ann", "1\nx", "one\ntwo\nthree\n\nstill part of it"},
         {true, true, true}},
        {"Name: Ann\nComments: Guten Tag, ich bin es.\n\nZweiter Absatz.\n\n\nDritter.\n",
         {"Ann", "", "Guten Tag, ich bin es.\n\nZweiter Absatz.\n\nDritter."},
         {true, false, true}},
        // A label above its value, with or without a blank line between.
        {"Name:\nEva Berg\n\nPhone:\n\n555 0100\nComments:\nLine one.\n\nline two\n\n",
         {"Eva Berg", "555 0100", "Line one.\n\nline two"},
         {true, true, true}},
        // Fields the template does not list end the value before them.
        {"Name: Ann\nCompany: Shop\nComments: hi\nthere\nNewsletter: Yes\nconsent: true\n",
         {"Ann", "", "hi\nthere"},
         {true, false, true}},
        // Up to six words before a colon make a label by their shape alone.
        {"Comments: hi\nA line of seven words that ends: here\nSix words that make a label: x\n",
         {"", "", "hi\nA line of seven words that ends: here"},
         {false, false, true}},
        // A colon inside free text stays text.
        {"Comments: About the poster,\nAspect ratio: 3:1 would also work.\n",
         {"", "", "About the poster,\nAspect ratio: 3:1 would also work."},
         {false, false, true}},
        // Nothing after a signature line, a rule or a footer is any field's.
        {"Name: Ann\nComments: hi\n-- \nPhone: 555 (the shop's own)\n",
         {"Ann", "", "hi"},
         {true, false, true}},
        {"Name: Ann\nComments: I would like two, please.\n\n(Sent via Shop Site)\n",
         {"Ann", "", "I would like two, please."},
         {true, false, true}},
        {"Comments: Hello there, friends.\n\n---\n\nDate: 1 May\nPowered by: Forms\n",
         {"", "", "Hello there, friends."},
         {false, false, true}},
        // Table rows from HTML: label cell, Tab, value cell; an empty value cell.
        {"Name\tAnn\nPhone\t\nComments\tfirst\nsecond\nHow did you hear about us?\tRadio\n",
         {"Ann", "", "first\nsecond"},
         {true, true, true}},
        {"Name: Ann\nName:\nName: Bo\n", {"Ann\nBo", "", ""}, {true, false, false}},
        // The last matching entry wins; a shorter entry takes the label's value, and
        // a line it only begins, with no label of its own, is no field.
        {"E is for Ann\nEmail: a@b\nEx: 1\n",
         {"1", "a@b", ""},
         {true, true, false},
         {"E", "Email:", "Name:"}},
        // Labels without a colon, told by the message's shape alone.
        {"Name\nAnn Lee\n\nEmail\nann@x.example\n\nComment or Message\nHello\nthere\n",
         {"Ann Lee", "ann@x.example", "Hello\nthere"},
         {true, true, true},
         {"Name", "Email", "Comment or Message"}},
        // One block of labels and values in turn; a last label left unanswered.
        {"Name\nAnn Lee\nPhone\n555 0100\n\nComments\n",
         {"Ann Lee", ""},
         {true, true},
         {"Name", "Comments"}},
        {"Your name?\n\nAnn\n\nWhich size?\n\nL\n\nAnything else?\n\nNo, thanks.\n",
         {"Ann", "No, thanks."},
         {true, true},
         {"Your name?", "Anything else?"}},
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

// What the file's other messages teach: recurring labels and boilerplate.
TEST(FieldExtractor, LearnsLabelsAndBoilerplateFromTheFile) {
    FormLayoutLearner learner;
    for (const char* who : {"Ann", "Bo", "Cai"}) {
        learner.add(std::string("You received a new message.\n\nName\n") + who + "\nNotes\n" + who +
                    " met us\nRef: " + who + "-1\nMessage\nHello from " + who +
                    "\nThanks for using our form\nVisit us\n");
    }
    FieldExtractor extractor({"Name", "Message"}, learner.layout());
    std::vector<std::string> cells;
    std::vector<bool> found;
    ExtractedExtras extras;
    extractor.extract(
        "You received a new message.\n\nName\nDee\nNotes\nnothing\nRef: D-1\nMessage\nHi\n"
        "two lines.\nThanks for using our form\nVisit us\n",
        &cells, &found, &extras);
    EXPECT_EQ(cells, (std::vector<std::string>{"Dee", "Hi\ntwo lines."}));
    ASSERT_EQ(extras.otherLabels.size(), 2u);
    EXPECT_EQ(extras.otherLabels[0].text, "Notes");
    EXPECT_EQ(extras.otherLabels[1].text, "Ref:");
    EXPECT_EQ(extras.unplacedLines, 0u);
}

// A line is the form's own text when it recurs in at least three messages of five.
TEST(FieldExtractor, BoilerplateRecursInMostMessages) {
    FormLayoutLearner learner;
    for (int i = 0; i < 5; ++i) {
        learner.add("Name: " + std::to_string(i) + "\nMessage: hello\n" +
                    (i < 2 ? "Bye now\n" : "") + (i < 3 ? "Visit us\n" : ""));
    }
    FieldExtractor extractor({"Message"}, learner.layout());
    std::vector<std::string> cells;
    std::vector<bool> found;
    ExtractedExtras extras;
    extractor.extract("Message: Hi\nBye now\nVisit us\n", &cells, &found, &extras);
    EXPECT_EQ(cells, (std::vector<std::string>{"Hi\nBye now"}));
}

}  // namespace
}  // namespace tabulon
