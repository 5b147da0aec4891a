#include "mail/charset_text.h"
#include "mail/header_block.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

TEST(CharsetText, EverythingBecomesUtf8) {
    const struct {
        std::string bytes;
        const char* charset;
        std::string text;
        bool clean;
    } kCases[] = {
        {"caf\xc3\xa9", "", "caf\xc3\xa9", true},                // undeclared UTF-8 stays
        {"caf\xe9 \x80", "", "caf\xc3\xa9 \xe2\x82\xac", true},  // else Windows-1252
        {std::string("a\0\xc3\xa9", 4), "", std::string("a\0\xc3\xa9", 4), true},  // NUL is UTF-8
        {"caf\xe9", "latin1", "caf\xc3\xa9", true},
        {"J\xc3\xbcrgen", "iso-8859-1", "J\xc3\xbcrgen", true},  // a PHP form's UTF-8
        {"\x93\x80\x94", "ISO-8859-1", "\xe2\x80\x9c\xe2\x82\xac\xe2\x80\x9d", true},  // as 1252
        {"\x93\x81", "iso-8859-1", "\xc2\x93\xc2\x81", true},  // not 1252: Latin-1 after all
        {"caf\xe9", "utf-8", "caf\xc3\xa9", false},            // mislabelled Latin-1
        // Both kinds in one line: each byte read as the table writers read it.
        {"J\xc3\xbcrgen J\xfcrgen", "", "J\xc3\xbcrgen J\xc3\xbcrgen", true},
        {"J\xc3\xbcrgen J\xfcrgen", "UTF-8", "J\xc3\xbcrgen J\xc3\xbcrgen", false},
        {"a\x81z", "windows-1252", "a\xef\xbf\xbdz", false},  // a byte it lacks
        {"Name: x", "x-unknown-charset", "Name: x", false},
        // A misspelt "utf-8" that iconv takes lets a lead byte past U+10FFFF through.
        {"a\xf5\xb1\x9e\x92z", "utf'8", "a\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbdz",
         false},
    };
    for (const auto& c : kCases) {
        std::string out;
        EXPECT_EQ(appendUtf8(c.bytes, c.charset, &out), c.clean) << c.charset << " " << c.bytes;
        EXPECT_EQ(out, c.text) << c.charset;
        EXPECT_TRUE(isValidUtf8(out));
    }
}

TEST(HeaderBlock, FieldNamesAndTheBodyStart) {
    EXPECT_TRUE(isHeaderLine("X-Mailer: PHP"));
    for (const char* line : {"Your Name: Eva", "Caf\xc3\xa9: 1", ": x"})
        EXPECT_FALSE(isHeaderLine(line)) << line;
    HeaderBlock block = readHeaderBlock("Subject: a\n  b\nX-Y: z\nYour Name: Eva\n");
    EXPECT_TRUE(block.isMail);
    EXPECT_EQ(block.value("subject"), "a  b");
    EXPECT_EQ(block.bodyOffset, 22u);  // "Your Name: Eva" begins the body
    EXPECT_FALSE(readHeaderBlock("Name: Ann\nPhone: 1\n\nx").isMail);
}

}  // namespace
}  // namespace tabulon
