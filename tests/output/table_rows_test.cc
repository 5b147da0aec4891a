#include "output/table_rows.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tabulon {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A table rows are added to is read back as written, in each text format: every
// cell of a row, the header row skipped, a row cut at the end of the bytes read
// left out.
TEST(TableRows, ReadBackAsWritten) {
    test::TempDir dir;
    struct Case {
        const char* name;
        TableFormat format;
        const char* text;
        Rows rows;
    } cases[] = {
        {"t.txt",
         TableFormat::kTab,
         "Date\tFrom\tName\r2026-01-02 03:04:05\tAnn\t\rx\ty",
         {{"2026-01-02 03:04:05", "Ann", ""}}},
        {"t.tsv", TableFormat::kTsv, "Date\tName\n1\t2\n3\t\"4\"\n", {{"1", "2"}, {"3", "\"4\""}}},
        {"t.csv",
         TableFormat::kCsv,
         "\xEF\xBB\xBF"
         "Date,Name\r\n1,\"a,\"\"b\"\"\"\r\n",
         {{"1", "a,\"b\""}}},
        {"t.jsonl",
         TableFormat::kJsonl,
         "{\"Date\":\"1\",\"Name\":\"Ann\"}\n[1]\n{\"Date\":2,\"Name\":{\"a\":1}}\n",
         {{"1", "Ann"}, {"", ""}, {"", ""}}},
    };
    for (const Case& c : cases) {
        test::writeFile(dir.file(c.name), c.text);
        EXPECT_EQ(firstTableRows(dir.file(c.name), c.format, {"Date", "Name"}), c.rows) << c.name;
    }
    EXPECT_EQ(firstTableRows(dir.file("none.tsv"), TableFormat::kTsv, {"Date"}), Rows{});
}

}  // namespace
}  // namespace tabulon
