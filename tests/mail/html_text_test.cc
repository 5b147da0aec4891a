#include "mail/html_text.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

TEST(HtmlText, CellsJoinRowsAndBreaksEndLines) {
    const struct {
        const char* html;
        const char* text;
    } kCases[] = {
        {"<table><tr><td>Name:</td><td>Eva</td></tr><tr><th>Phone:</th><td> 1 </td></tr></table>",
         "Name: Eva\nPhone: 1"},
        {"<p>Comments: one<br>two<br/><br>four</p><p>Next: x</p>",
         "Comments: one\ntwo\n\nfour\n\nNext: x"},
        {"<div>Name:\n   Eva\tBerg</div><div>City:&nbsp;Oslo &amp; Lund</div>",
         "Name: Eva Berg\nCity: Oslo & Lund"},
        {"<html><head><title>T</title><style>p{}</style><script>var a='Name: x';</script></head>"
         "<body>Name: <b>Ann</b> <i>Lee</i></body></html>",
         "Name: Ann Lee"},
        {"<ul><li>a</li><li>b</li></ul>", "a\nb"},
        {"<td>unclosed <b>markup<p>Name: Eva", "unclosed markup\n\nName: Eva"},
        {"", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(htmlToText(c.html), c.text) << c.html;
    }
}

}  // namespace
}  // namespace tabulon
