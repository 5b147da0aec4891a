// The text rules the writers share: what counts as UTF-8, how wide a cell's
// text shows, which values are guarded against running as formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "platform/utf8.h"
#include "table/csv_text.h"
#include "table/date_time_text.h"
#include "table/formula_guard.h"
#include "table/table_test_util.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

// Well-formed UTF-8 stays as it is; any other byte is read as Windows-1252.
TEST(Utf8Text, WellFormedSequencesOnly) {
    const struct {
        std::string text;
        std::optional<std::string> repaired = {};  // none: valid, kept as it is
    } kCases[] = {
        {""},
        {"plain ASCII\t\r\n"},
        {"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x99\x82"},        // ü € and an emoji
        {"\xF4\x8F\xBF\xBF"},                              // U+10FFFF
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},              // cut short
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong "/"
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {"\x80\x9F", "\xE2\x82\xAC\xC5\xB8"},                                  // € Ÿ
        {"\x81\x8D\x8F\x90\x9D",  // bytes Windows-1252 lacks: U+FFFD each
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"ok \xC3\xBC \xFC\xFF", "ok \xC3\xBC \xC3\xBC\xC3\xBF"},  // both kinds in one value
        {"S\xC3O", "S\xC3\x83O"},  // a lead byte followed by ASCII: Latin-1 Ã
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(isValidUtf8(c.text), !c.repaired);
        std::string repaired;
        appendValidUtf8(c.text, &repaired);
        EXPECT_EQ(repaired, c.repaired.value_or(c.text));
    }
}

TEST(FormulaGuard, WhatASpreadsheetWouldRun) {
    const std::pair<std::string, bool> cases[] = {
        {"=1+1", true},      {"+45 5555 0101", true}, {"-12", true},
        {"@SUM(A1)", true},  {" =1+1", true},         {"\t=1+1", true},
        {"\r\n-1", true},    {"\uFF1D1", true},  // full-width =
        {"\uFF0B1", true},                       // full-width +
        {"\uFF0D1", true},                       // full-width -
        {"\uFF20x", true},                       // full-width @
        {" \uFF1D", true},                       // with nothing after it
        {"", false},         {"   ", false},          {"Ann", false},
        {"0612", false},     {"a=b", false},          {"'=1+1", false},
        {"\uFF21", false},  // full-width A
        {"\xEF\xBC", false},
    };
    for (const auto& [value, guarded] : cases)
        EXPECT_EQ(looksLikeFormula(value), guarded) << testing::PrintToString(value);
}

// One value's bytes in each text format (the header row left out): what a
// spreadsheet that guesses the delimiter, a terminal or a reader of the raw file
// meets. Controls other than Tab, CR and LF become U+FFFD everywhere.
TEST(TextFormats, CellBytes) {
    const std::string kFFFD = "\xEF\xBF\xBD";
    const struct {
        std::string value, csv, tsv, tab;
    } kCases[] = {
        {"a;b", "\"a;b\"", "a;b", "a;b"},
        {"x;=1+2", "\"x;=1+2\"", "x;=1+2", "x;=1+2"},
        {"a\tb", "\"a\tb\"", "a\\tb", "a b"},
        {"a,b \"c\"", "\"a,b \"\"c\"\"\"", "a,b \"c\"", "a,b \"c\""},
        {"two\r\nlines", "\"two\r\nlines\"", "two\\r\\nlines", "two  lines"},
        {"=1+1", "'=1+1", "'=1+1", "'=1+1"},
        {"\t@SUM(A1)", "\"'\t@SUM(A1)\"", "'\\t@SUM(A1)", "' @SUM(A1)"},
        // A first quote would open a quoted field in a spreadsheet: marked as
        // text where nothing is quoted.
        {" \"x\" y", "\" \"\"x\"\" y\"", "' \"x\" y", "' \"x\" y"},
        {"x\"", "\"x\"\"\"", "x\"", "x\""},
        {"\x1B]0;PWNED\a\x1B[2J", "\"" + kFFFD + "]0;PWNED" + kFFFD + kFFFD + "[2J\"",
         kFFFD + "]0;PWNED" + kFFFD + kFFFD + "[2J", kFFFD + "]0;PWNED" + kFFFD + kFFFD + "[2J"},
        {std::string("a\0\x1F\x7F", 4), "a" + kFFFD + kFFFD + kFFFD, "a" + kFFFD + kFFFD + kFFFD,
         "a" + kFFFD + kFFFD + kFFFD},
        // C1 controls (CSI, NEL) too; a no-break space is no control.
        {"\xC2\x9B"
         "2J\xC2\x85\xC2\xA0",
         kFFFD + "2J" + kFFFD + "\xC2\xA0", kFFFD + "2J" + kFFFD + "\xC2\xA0",
         kFFFD + "2J" + kFFFD + "\xC2\xA0"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(c.value));
        EXPECT_EQ(test::writeTable(TableFormat::kCsv, {}, {{c.value}}), "\r\n" + c.csv + "\r\n");
        EXPECT_EQ(test::writeTable(TableFormat::kTsv, {}, {{c.value}}), "\n" + c.tsv + "\n");
        EXPECT_EQ(test::writeTable(TableFormat::kTab, {}, {{c.value}}), c.tab + "\r");
    }
    // JSON Lines: one compact object a row, a short row's missing keys left out, a
    // title given again numbered.
    EXPECT_EQ(
        test::writeTable(TableFormat::kJsonl, {"Name", "Name"}, {{"Ann \"A\"", "Oslo"}, {"Bo"}}),
        "{\"Name\":\"Ann \\\"A\\\"\",\"Name 2\":\"Oslo\"}\n{\"Name\":\"Bo\"}\n");
    // Every control escaped, exactly: C0, DEL and C1; a no-break space is none.
    EXPECT_EQ(test::writeTable(TableFormat::kJsonl, {"N"}, {{"\x1B\x7F\xC2\x9B\xC2\xA0"}}),
              "{\"N\":\"\\u001b\\u007f\\u009b\xC2\xA0\"}\n");
}

// Text from a mail on a terminal: no control character reaches it, nothing is
// printed at any length.
// One csv record read, and written back as the csv writer quotes it.
TEST(CsvText, ARecordReadAndWrittenBack) {
    const struct {
        std::string text;
        std::vector<std::string> fields;  // empty: not one record
        size_t end;                       // where the next record begins
    } kCases[] = {
        {"Name,Email,Phone", {"Name", "Email", "Phone"}, 16},
        {"Name,\"City, zip\",\"say \"\"hi\"\"\"\r\nnext", {"Name", "City, zip", "say \"hi\""}, 31},
        {"\"two\nlines\",x\nnext", {"two\nlines", "x"}, 14},
        {",\r", {"", ""}, 2},
        {"Name,\"open", {}, 10},
        {"\"closed\"x,y", {}, 8},
    };
    for (const auto& c : kCases) {
        size_t pos = 0;
        std::vector<std::string> fields;
        EXPECT_EQ(readCsvRecord(c.text, &pos, &fields), !c.fields.empty()) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
        if (c.fields.empty()) continue;
        EXPECT_EQ(fields, c.fields) << c.text;
        std::string again = csvRecord(fields);
        pos = 0;
        EXPECT_TRUE(readCsvRecord(again, &pos, &fields)) << again;
        EXPECT_EQ(fields, c.fields) << again;
    }
}

// The one shape of a date cell, and a workbook's date numbers read back.
TEST(DateTimeText, OnlyRealDatesOfTheOneShape) {
    DateTimeFields f;
    for (const char* date : {"2026-11-30 09:14:02", "2024-02-29 00:00:00", "1901-01-01 23:59:59"})
        EXPECT_TRUE(readDateTimeText(date, &f) && dateTimeText(f) == date) << date;
    for (const char* notDate : {"2026-11-30T09:14:02", "2026-11-30 9:14:02", "2025-02-29 00:00:00",
                                "2026-13-01 00:00:00", "2026-11-30 24:00:00", "1900-03-01 00:00:00",
                                "2026-11-30 09:14:02 ", "Mon, 30 Nov 2026 09:14:02 +0100"})
        EXPECT_FALSE(readDateTimeText(notDate, &f)) << notDate;
    for (const auto& [serial, text] : std::vector<std::pair<double, std::string>>{
             {61, "1900-03-01 00:00:00"},
             {46356.38474537037, "2026-11-30 09:14:02"},
             {45351.999988425, "2024-02-29 23:59:59"},  // to the nearest second
             {2958465.999988426, "9999-12-31 23:59:59"}})
        EXPECT_TRUE(fieldsOfWorkbookSerial(serial, &f) && dateTimeText(f) == text) << text;
    for (double notDate : {60.0, -1.0, 3e6, std::nan("")})
        EXPECT_FALSE(fieldsOfWorkbookSerial(notDate, &f)) << notDate;
}

TEST(Utf8Text, ShownText) {
    const std::string kLong(300, 'x');
    // What is shown of 50 ESC, when 150 characters come before them.
    const std::string escapes = test::repeat("\\x1B", 50);
    const std::pair<std::string, std::string> cases[] = {
        {"plain J\xC3\xBCrgen \xF0\x9F\x99\x82", "plain J\xC3\xBCrgen \xF0\x9F\x99\x82"},
        {"\x1B]0;PWNED\a\x1B[2J", "\\x1B]0;PWNED\\x07\\x1B[2J"},
        {std::string("t\tn\nr\r\0\x7F", 8), "t\\x09n\\x0Ar\\x0D\\x00\\x7F"},
        {"c1 \xC2\x9B[2J \xC2\xA0", "c1 \\u009B[2J \xC2\xA0"},  // CSI escaped, no-break space kept
        {"bad \xFF\xC3", "bad \\xFF\\xC3"},
        {kLong.substr(0, 200), kLong.substr(0, 200)},
        {kLong, kLong.substr(0, 200) + "..."},
        {std::string(150, 'x') + std::string(100, '\x1B'), std::string(150, 'x') + escapes + "..."},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(shownText(text), shown) << testing::PrintToString(text);
}

}  // namespace
TEST(Utf8Text, DisplayWidth) {
    const std::pair<std::string, size_t> cases[] = {
        {"", 0},
        {"Ann Lee", 7},
        {"J\xC3\xBCrgen", 6},
        {"\xE2\x82\xAC 5", 3},            // the euro sign is narrow
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 4},  // two wide characters
        {"!\xF0\x9F\x99\x82", 3},
        {"short\na much longer line\r\nmid", 18},
    };
    for (const auto& [text, width] : cases)
        EXPECT_EQ(displayWidth(text), width) << text;
    // A workbook counts UTF-16 units: two for a character beyond U+FFFF.
    size_t units = 0;
    for (char c : std::string("a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"))
        units += utf16UnitsFrom(static_cast<unsigned char>(c));
    EXPECT_EQ(units, 7u);
}

}  // namespace tabulon
