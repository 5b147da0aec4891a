#include "preview/table_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

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

// Every saved format reads back, through a real parser, as the same table:
// two inputs in turn, a header column first.
TEST(TableExport, EachFormatReadsBackAsTheSameTable) {
    const std::string kFrom[] = {"Web Form <forms@shop.example>", "Web Form <forms@shop.example>",
                                 "J\xC3\xBCrgen M\xC3\xBCller <j@post.example>"};
    for (TableFormat format : {TableFormat::kXlsx, TableFormat::kCsv, TableFormat::kTsv}) {
        std::string name(formatName(format));
        SCOPED_TRACE(name);
        TempDir dir;
        ExportRequest request = requestFor(dir, format, "out." + name);
        writeFile(dir.file("second.mbox"), kFormMail);
        request.inputs.push_back(dir.file("second.mbox"));
        request.options.headers = {"From"};
        ASSERT_TRUE(exportTable(request).ok());
        ReadTable table = readTable(name, request.output, dir.path());
        ASSERT_TRUE(table.ok) << table.error;
        // A workbook's row ends at its last cell that holds something.
        for (std::vector<std::string>& row : table.rows)
            row.resize(4);
        std::vector<std::vector<std::string>> expected = {{"From", "Name", "Email", "Phone"}};
        for (int input = 0; input < 2; ++input) {
            for (size_t i = 0; i < kFormRows.size(); ++i) {
                std::vector<std::string> row = kFormRows[i];
                // csv and tsv mark a leading "+" so that no spreadsheet runs it.
                if (format != TableFormat::kXlsx && !row[2].empty()) row[2] = "'" + row[2];
                row.insert(row.begin(), kFrom[i]);
                expected.push_back(row);
            }
        }
        EXPECT_EQ(table.rows, expected);
        EXPECT_EQ(readFile(request.output).rfind("\xEF\xBB\xBF", 0) == 0,
                  format == TableFormat::kCsv);
    }
}

// Each failure names the file, leaves no output and the input as it was.
TEST(TableExport, FailuresNameTheFileAndLeaveNothing) {
    struct Case {
        const char* name;
        const char* output;
        const char* named;
        std::function<void(const TempDir&, ExportRequest&)> prepare;
    };
    const Case cases[] = {
        {"over its input", "mail.mbox", "mail.mbox", nullptr},
        {"unreadable input", "out.csv", "gone.mbox",
         [](const TempDir& dir, ExportRequest& r) { r.inputs.push_back(dir.file("gone.mbox")); }},
        {"full disk", "full.csv", "full.csv",
         [](const TempDir&, ExportRequest& r) {
             ASSERT_EQ(::symlink(test::scratchDevice("full").c_str(), r.output.c_str()), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ExportRequest request = requestFor(dir, TableFormat::kCsv, c.output);
        if (c.prepare) c.prepare(dir, request);
        std::string before = dir.listing();
        Status status = exportTable(request);
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find(c.named), std::string::npos) << status.message();
        EXPECT_EQ(dir.listing(), before);
        EXPECT_EQ(readFile(dir.file("mail.mbox")), kFormMail);
    }
}

}  // namespace
}  // namespace tabulon::test
