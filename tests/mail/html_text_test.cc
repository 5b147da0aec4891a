#include "mail/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tabulon {
namespace {

// Cells, paragraphs and breaks become lines; the text is UTF-8 whatever the
// document says of itself.
TEST(HtmlText, CellsJoinRowsAndBreaksEndLines) {
    const struct {
        std::string html;
        const char* text;
    } kCases[] = {
        // A Tab parts a row's first cell from the rest; an empty value cell keeps it.
        {"<table><tr><td>Name:</td><td>Eva</td></tr><tr><th>Phone</th><td> 1 </td><td>2</td></tr>"
         "<tr><td>&nbsp;</td><td>Lund</td></tr><tr><td>Fax</td><td></td></tr></table>",
         "Name:\tEva\nPhone\t1 2\nLund\nFax\t"},
        // A table laid out across: questions in a header row, answers below.
        {"<table><thead><tr><th>Name</th><th>Day</th></tr></thead><tr><td>Eva</td><td>Mon</td>"
         "</tr></table>",
         "Name\tEva\nDay\tMon"},
        {"<p>Comments: one<br>two<br/><br>four</p><p>Next: x</p>",
         "Comments: one\ntwo\n\nfour\n\nNext: x"},
        {"<div>Name:\n   Eva\tBerg</div><div>City:&nbsp;Oslo &amp; Lund</div>",
         "Name: Eva Berg\nCity: Oslo & Lund"},
        {"<html><head><title>T</title><style>p{}</style><script>var a='Name: x';</script></head>"
         "<body>Name: <b>Ann</b> <i>Lee</i></body></html>",
         "Name: Ann Lee"},
        {"<ul><li>a</li><li>b</li></ul>", "a\nb"},
        // A copy of the form as filled in: the controls' values, the chosen option.
        {"<form>Name<input id=n type=text value=\"Eva\">Kind<select><option>a</option>"
         "<option selected>b</option></select><input type=submit value=Send>"
         "<textarea>x\n\ny</textarea></form>",
         "Name\nEva\nKind\nb\nx\n\ny"},
        {"<td>unclosed <b>markup<p>Name: Eva", "unclosed markup\n\nName: Eva"},
        {"", ""},
        {"<html><head><meta charset=\"iso-8859-1\"></head><body>Name: Ren\xc3\xa9 \xe2\x80\x93 "
         "\xf0\x9f\x98\x80</body></html>",
         "Name: Ren\xc3\xa9 \xe2\x80\x93 \xf0\x9f\x98\x80"},
        {"\xef\xbb\xbf<p>Name: \xc3\x85se</p>", "Name: \xc3\x85se"},  // a byte-order mark
        // A value cell's later lines are marked as its own; the table's end is marked.
        {"<table><tr><td>Day</td><td>Mon<br>Tue: late</td></tr></table><p>Sent by x</p>",
         "Day\tMon\n\vTue: late\n\n\f\n\nSent by x"},
        // Links after a cell's answer are actions on it; a link that is the answer stays.
        {"<table><tr><td>Phone</td><td>555 0123 <a href=tel:1>Call</a></td></tr><tr><td>Mail</td>"
         "<td><a href=mailto:a>a@x.example</a> <a href=x>Reply</a></td></tr></table>",
         "Phone\t555 0123\nMail\ta@x.example Reply"},
        // Rows below a label cell that spans them go on with its value.
        {"<table><tr><td rowspan=2>Address</td><td>1 Elm St</td></tr><tr><td>Lund</td></tr>"
         "<tr><td>Day</td><td>Mon</td></tr></table>",
         "Address\t1 Elm St\n\vLund\nDay\tMon"},
        // Laid down the page below a "Question | Answer" header; a numbered first column.
        {"<table><tr><th>Q</th><th>A</th></tr><tr><td>Name</td><td>Eva</td></tr><tr><td>Day</td>"
         "<td>Mon</td></tr></table>",
         "Name\tEva\nDay\tMon"},
        {"<table><tr><td>1</td><td>Name</td><td>Eva</td></tr><tr><td>2.</td><td>Day</td>"
         "<td>Mon</td></tr></table>",
         "Name\tEva\nDay\tMon"},
        // <pre> keeps its lines and blanks; a quote's lines begin "> "; a line of a
        // link's text alone is marked.
        {"<p>Hi <a href=x>you</a></p><p><a href=x>View entry</a></p>", "Hi you\n\n\x1eView entry"},
        {"<pre>| Name | Eva  |\n|      | Lund |</pre>", "| Name | Eva  |\n|      | Lund |"},
        // A blockquote that cites a message quotes it; one without a mark sets an answer in.
        {"<p>Thanks</p><blockquote type=cite>Name: Eva<br>Day: Mon</blockquote>",
         "Thanks\n\n> Name: Eva\n> Day: Mon"},
        {"<blockquote class=gmail_quote>Eva</blockquote>", "> Eva"},
        {"<p>Name</p><blockquote style='margin:0'>Eva</blockquote>", "Name\n\nEva"},
        {std::string("<p>Name: \xc3\x85se</p><p>a\0b</p>", 27), "Name: \xc3\x85se\n\na b"},
    };
    for (const auto& c : kCases) {
        bool cut = true;
        EXPECT_EQ(htmlToText(c.html, &cut), c.text) << c.html;
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
