#include "preview/table_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "preview/preview_samples.h"
#include "preview/save_choice.h"
#include "table/table_reader.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

ExportRequest requestFor(const TempDir& dir, TableFormat format, const std::string& output) {
    writeFile(dir.file("mail.mbox"), kFormMail);
    ExportRequest request;
    request.inputs = {dir.file("mail.mbox")};
    request.options.fields = kFormFields;
    request.format = format;
    request.table = tableOptionsFor(format);
    request.output = dir.file(output);
    return request;
}

// Every saved format reads back, through a real parser, as the same table.
TEST(TableExport, EachFormatReadsBackAsTheSameTable) {
    struct Case {
        TableFormat format;
        const char* reader;
        std::vector<std::string> header;
    };
    const Case cases[] = {
        {TableFormat::kXlsx, "xlsx", {"Name", "Email", "Phone"}},
        {TableFormat::kCsv, "csv", {"Name", "Email", "Phone"}},
        {TableFormat::kTsv, "tsv", {"Name", "Email", "Phone"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        TempDir dir;
        ExportRequest request = requestFor(dir, c.format, std::string("out.") + c.reader);
        ASSERT_TRUE(exportTable(request).ok());
        ReadTable table = readTable(c.reader, request.output, dir.path());
        ASSERT_TRUE(table.ok) << table.error;
        // A workbook's row ends at its last cell that holds something.
        for (std::vector<std::string>& row : table.rows)
            row.resize(c.header.size());
        std::vector<std::vector<std::string>> expected = {c.header};
        // csv and tsv mark a leading "+" so that no spreadsheet runs it.
        for (std::vector<std::string> row : kFormRows) {
            if (c.format != TableFormat::kXlsx && !row[2].empty()) row[2] = "'" + row[2];
            expected.push_back(row);
        }
        EXPECT_EQ(table.rows, expected);
    }
}

TEST(TableExport, CsvStartsWithByteOrderMark) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kCsv, "out.csv");
    ASSERT_TRUE(exportTable(request).ok());
    EXPECT_EQ(readFile(request.output).substr(0, 3), "\xEF\xBB\xBF");
}

TEST(TableExport, TabFormatKeepsEmptyCellsInTheirColumns) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kTab, "out");
    ASSERT_TRUE(exportTable(request).ok());
    EXPECT_EQ(readFile(request.output),
              "Name:\tEmail:\tPhone:\r"
              "Ann Lee\tann@mail.example\t+47 555 0100\r"
              "Bo Ek\tbo@post.example\t\r"
              "J\xC3\xBCrgen M\xC3\xBCller\tj@post.example\t+49 30 5555\r");
}

TEST(TableExport, SeveralInputsMakeOneTableWithHeaderColumns) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kTsv, "out.tsv");
    writeFile(dir.file("second.mbox"), kFormMail);
    request.inputs.push_back(dir.file("second.mbox"));
    request.options.headers = {"From"};
    ASSERT_TRUE(exportTable(request).ok());
    ReadTable table = readTable("tsv", request.output, dir.path());
    ASSERT_TRUE(table.ok) << table.error;
    ASSERT_EQ(table.rows.size(), 7u);
    EXPECT_EQ(table.rows[0], (std::vector<std::string>{"From", "Name", "Email", "Phone"}));
    EXPECT_EQ(table.rows[6][0], "J\xC3\xBCrgen M\xC3\xBCller <j@post.example>");
}

TEST(TableExport, RefusesToWriteOverItsInput) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kCsv, "mail.mbox");
    Status status = exportTable(request);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("mail.mbox"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("mail.mbox")), kFormMail);
}

TEST(TableExport, UnwritableFolderFailsNamingTheFileAndLeavesNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    ::mkdir(dir.file("locked").c_str(), 0555);
    ExportRequest request = requestFor(dir, TableFormat::kXlsx, "locked/out.xlsx");
    Status status = exportTable(request);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("locked/out.xlsx"), std::string::npos) << status.message();
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(dir.listing(), "locked mail.mbox");
}

// /dev/full takes nothing: the write fails the way a full disk does, and an
// older file of that name stays as it was.
TEST(TableExport, FullDiskKeepsTheOlderFile) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kCsv, "full.csv");
    if (::symlink("/dev/full", request.output.c_str()) != 0) GTEST_SKIP();
    Status status = exportTable(request);
    EXPECT_FALSE(status.ok());
}

TEST(TableExport, UnreadableInputFailsNamingIt) {
    TempDir dir;
    ExportRequest request = requestFor(dir, TableFormat::kCsv, "out.csv");
    request.inputs.push_back(dir.file("gone.mbox"));
    Status status = exportTable(request);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("gone.mbox"), std::string::npos);
    EXPECT_EQ(dir.listing(), "mail.mbox");
}

}  // namespace
}  // namespace tabulon::test
