#include "preview/spreadsheet_settings.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

// What the preview remembers is read back as written; what it would not offer
// (a format the save dialog lacks, a header it has no box for) is left out.
TEST(SpreadsheetSettings, ReadBackAsWritten) {
    SpreadsheetSettings kept;
    kept.format = TableFormat::kCsv;
    kept.headers = {"Date", "Subject"};
    kept.mailbox.server = "mail.example.com";
    SpreadsheetSettings back = parseSpreadsheetSettings(spreadsheetSettingsText(kept));
    EXPECT_EQ(back.format, TableFormat::kCsv);
    EXPECT_EQ(back.headers, kept.headers);
    EXPECT_EQ(back.mailbox.server, "mail.example.com");
    back = parseSpreadsheetSettings("format=jsonl\r\nheaders=Subject,X-Spam,Date\r\n");
    EXPECT_EQ(back.format, TableFormat::kXlsx);
    EXPECT_EQ(back.headers, (std::vector<std::string>{"Date", "Subject"}));
}

}  // namespace
}  // namespace tabulon
