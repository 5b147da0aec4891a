#include "mail/html_text.h"

#include <gtest/gtest.h>

#include <string>

#include "case_file.h"

namespace tabulon {
namespace {

// Cells, paragraphs and breaks become lines; the text is UTF-8 whatever the
// document says of itself. The cases are in mail/cases/html_text.cases.
TEST(HtmlText, CellsJoinRowsAndBreaksEndLines) {
    for (const test::Case& c : test::readCases("mail/cases/html_text.cases")) {
        bool cut = true;
        EXPECT_EQ(htmlToText(c.text("html"), &cut), c.text("text")) << c.where;
        EXPECT_FALSE(cut);
    }
}

TEST(HtmlText, DeepNestingKeepsItsTextAndWhatFollows) {
    for (int depth : {255, 256, 3000, 100000}) {
        std::string html = "<p>Name: Ann</p>";
        for (int i = 0; i < depth; ++i)
            html += i % 2 ? "<div>" : "<span>";
        html += "deep<script>x</script>";
        for (int i = depth - 1; i >= 0; --i)
            html += i % 2 ? "</div>" : "</span>";
        html += "<p>Phone: 1</p>";
        bool cut = true;
        EXPECT_EQ(htmlToText(html, &cut), "Name: Ann\n\ndeep\n\nPhone: 1") << depth;
        EXPECT_FALSE(cut);
    }
}

}  // namespace
}  // namespace tabulon
