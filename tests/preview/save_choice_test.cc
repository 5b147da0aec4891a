#include "preview/save_choice.h"

#include <gtest/gtest.h>

#include "preview/spreadsheet_settings.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

TEST(SaveChoice, PathAndFilterGiveFileAndFormat) {
    struct Case {
        const char* chosen;
        TableFormat filter;
        const char* path;
        TableFormat format;
    };
    const Case cases[] = {
        {"/d/mail Converted.xlsx", TableFormat::kXlsx, "/d/mail Converted.xlsx",
         TableFormat::kXlsx},
        // A typed extension wins over the filter, in any letter case.
        {"/d/out.CSV", TableFormat::kXlsx, "/d/out.CSV", TableFormat::kCsv},
        {"/d/out.tsv", TableFormat::kTab, "/d/out.tsv", TableFormat::kTsv},
        // Without one, the filter's extension is added; tab adds none.
        {"/d/out", TableFormat::kXlsx, "/d/out.xlsx", TableFormat::kXlsx},
        {"/d/out.txt", TableFormat::kCsv, "/d/out.txt.csv", TableFormat::kCsv},
        {"/d/out", TableFormat::kTab, "/d/out", TableFormat::kTab},
        {"/d/out.xlsx.bak", TableFormat::kTsv, "/d/out.xlsx.bak.tsv", TableFormat::kTsv},
        {"/d/notcsv", TableFormat::kXlsx, "/d/notcsv.xlsx", TableFormat::kXlsx},  // no dot
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        SaveTarget target = resolveSaveTarget(c.chosen, c.filter);
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.format, c.format);
    }
}

// What cannot be read keeps its default (the preview window's test saves and
// reads the settings back).
TEST(SpreadsheetSettings, UnreadableValuesKeepTheirDefaults) {
    const struct {
        const char* text;
        TableFormat format;
        std::vector<std::string> headers;
    } kCases[] = {
        {"format=tab\r\nheaders=Subject,From\r\n", TableFormat::kTab, {"From", "Subject"}},
        {"format=jsonl\n", TableFormat::kXlsx, {}},  // not offered by the save dialog
        {"format=XLS\nheaders=Date,To,,Cc\n", TableFormat::kXlsx, {"Date"}},
        {"colour=blue\nno equals sign\n=\nformat=tsv", TableFormat::kTsv, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        SpreadsheetSettings parsed = parseSpreadsheetSettings(c.text);
        EXPECT_EQ(parsed.format, c.format);
        EXPECT_EQ(parsed.headers, c.headers);
    }
    TempDir dir;
    EXPECT_EQ(readSpreadsheetSettings(dir.file("absent")).format, TableFormat::kXlsx);
    EXPECT_EQ(readSpreadsheetSettings(dir.path()).format, TableFormat::kXlsx);  // a folder
}

}  // namespace
}  // namespace tabulon::test
