#include "mail/field_extractor.h"
#include "mail/script_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "test_util.h"

namespace tabulon {
namespace {

// The cases are in mail/cases/field_extractor.cases.
TEST(FieldExtractor, FillsOneRowPerBody) {
    for (const test::Case& c : test::readCases("mail/cases/field_extractor.cases")) {
        SCOPED_TRACE(c.where);
        const auto fields = c.list("fields");
        FieldExtractor extractor(fields.empty() ? FieldList{"Name:", "Phone:", "Comments:"}
                                                : fields);
        std::vector<std::string> cells;
        std::vector<bool> found;
        ExtractedExtras extras;
        extractor.extract(c.text("body"), &cells, &found, &extras);
        EXPECT_EQ(cells, c.list("cells"));
        EXPECT_EQ(found, c.flags("found"));
        // Two answers joined in one cell, or a last line that may be the
        // tool's, leave the reading unsure.
        EXPECT_EQ(extras.doubtfulLabels + extras.doubtfulEnds, std::stoul(c.text("doubts", "0")));
        if (std::string unplaced = c.text("unplaced", ""); !unplaced.empty()) {
            EXPECT_EQ(extras.unplacedLines, std::stoul(unplaced));
        }
        // What the report shows of them.
        if (std::vector<std::string> samples = c.list("samples"); !samples.empty()) {
            EXPECT_EQ(extras.unplacedSamples, samples);
        }
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

// A label of the form's own stands in nine messages of ten; it is no answer of
// a question above it left unanswered.
TEST(FieldExtractor, ALabelInNineMessagesOfTenIsNoAnswer) {
    FormLayoutLearner learner;
    for (int i = 0; i < 10; ++i) {
        learner.add("Name\nP" + std::to_string(i) + "\nPhone\n555 01" + std::to_string(i) +
                    (i == 4 ? "" : "\nCompany\nFirm " + std::to_string(i)) + "\nMessage\nhi\n");
    }
    FieldExtractor extractor({"Name", "Phone", "Message"}, learner.layout());
    std::vector<std::string> cells;
    std::vector<bool> found;
    ExtractedExtras extras;
    extractor.extract("Name\nDee\nPhone\nCompany\nAcme\nMessage\nhello\n", &cells, &found, &extras);
    EXPECT_EQ(cells, (std::vector<std::string>{"Dee", "", "hello"}));
}

// A link's text alone that most messages show right below the last label (a
// button, "View in inbox") is no answer.
TEST(FieldExtractor, AButtonEveryMessageShowsIsNoAnswer) {
    FormLayoutLearner learner;
    for (const char* who : {"Ann", "Bo", "Cai"})
        learner.add(std::string("Name\n") + who + "\nMessage\nHi\n\x1eView in inbox\n");
    FieldExtractor extractor({"Name", "Message"}, learner.layout());
    std::vector<std::string> cells;
    std::vector<bool> found;
    ExtractedExtras extras;
    extractor.extract("Name\nDee\nMessage\n\x1eView in inbox\n", &cells, &found, &extras);
    EXPECT_EQ(cells, (std::vector<std::string>{"Dee", ""}));
}

// A script's dump of up to 4 MiB is read; a larger one, or a malformed one, is no
// form's data.
TEST(ScriptDump, ReadsWellFormedDumpsOfUpTo4MiB) {
    for (size_t size : {size_t{4} << 20, (size_t{4} << 20) + 1}) {
        std::string body = "{'name': 'Ann', 'note': '";
        body += test::repeat("x", size - body.size() - 2) + "'}";
        FormText form;
        EXPECT_EQ(readScriptDump(body, 0, &form), size == size_t{4} << 20) << size;
    }
    // A var_dump whose string length is no number is not one.
    FormText form;
    EXPECT_FALSE(
        readScriptDump("array(2) {\n  [\"a\"]=>\n  string(1x) \"b\"\n  [\"c\"]=>\n"
                       "  string(1) \"d\"\n}\n",
                       0, &form));
}

}  // namespace
}  // namespace tabulon
