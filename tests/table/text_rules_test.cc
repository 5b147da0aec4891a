// The text rules the writers share: what counts as UTF-8, how wide a cell's
// text shows, which values are guarded against running as formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "case_file.h"
#include "platform/utf8.h"
#include "table/csv_text.h"
#include "table/date_time_text.h"
#include "table/formula_guard.h"
#include "table/table_test_util.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

// Well-formed UTF-8 stays as it is; any other byte is read as Windows-1252
// (table/cases/utf8_text.cases, with the cases of ShownText and DisplayWidth).
TEST(Utf8Text, WellFormedSequencesOnly) {
    for (const test::Case& c : test::readCases("table/cases/utf8_text.cases")) {
        for (const std::string& valid : c.list("valid")) {
            EXPECT_TRUE(isValidUtf8(valid)) << c.where;
            std::string kept;
            appendValidUtf8(valid, &kept);
            EXPECT_EQ(kept, valid) << c.where;
        }
        if (!c.has("repaired")) continue;
        EXPECT_FALSE(isValidUtf8(c.text("text"))) << c.where;
        std::string repaired;
        appendValidUtf8(c.text("text"), &repaired);
        EXPECT_EQ(repaired, c.text("repaired")) << c.where;
    }
}

TEST(FormulaGuard, WhatASpreadsheetWouldRun) {
    for (const test::Case& c : test::readCases("table/cases/formula_guard.cases")) {
        for (const std::string& value : c.list("guarded"))
            EXPECT_TRUE(looksLikeFormula(value)) << testing::PrintToString(value);
        for (const std::string& value : c.list("kept"))
            EXPECT_FALSE(looksLikeFormula(value)) << testing::PrintToString(value);
    }
}

// One value's bytes in each text format (table/cases/cell_bytes.cases).
TEST(TextFormats, CellBytes) {
    for (const test::Case& c : test::readCases("table/cases/cell_bytes.cases")) {
        SCOPED_TRACE(c.where);
        const std::string value = c.text("value"), csv = c.text("csv"), tsv = c.text("tsv");
        EXPECT_EQ(test::writeTable(TableFormat::kCsv, {}, {{value}}), "\r\n" + csv + "\r\n");
        EXPECT_EQ(test::writeTable(TableFormat::kTsv, {}, {{value}}), "\n" + tsv + "\n");
        EXPECT_EQ(test::writeTable(TableFormat::kTab, {}, {{value}}), c.text("tab") + "\r");
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
    for (const char* notDate :
         {"2026-11-30T09:14:02", "2026-11-30 9:14:02", "2025-02-29 00:00:00", "2026-13-01 00:00:00",
          "2026-11-30 24:00:00", "2026-11-30 09:60:00", "2026-11-30 09:14:60",
          "1900-03-01 00:00:00", "2026-11-30 09:14:02 ", "Mon, 30 Nov 2026 09:14:02 +0100"})
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
    for (const test::Case& c : test::readCases("table/cases/utf8_text.cases")) {
        if (c.has("shown")) {
            EXPECT_EQ(shownText(c.text("text")), c.text("shown")) << c.where;
        }
    }
}

}  // namespace
TEST(Utf8Text, DisplayWidth) {
    for (const test::Case& c : test::readCases("table/cases/utf8_text.cases")) {
        if (c.has("width")) {
            EXPECT_EQ(displayWidth(c.text("text")), std::stoul(c.text("width"))) << c.where;
        }
    }
    // A workbook counts UTF-16 units: two for a character beyond U+FFFF.
    size_t units = 0;
    for (char c : std::string("a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"))
        units += utf16UnitsFrom(static_cast<unsigned char>(c));
    EXPECT_EQ(units, 7u);
}

}  // namespace tabulon
