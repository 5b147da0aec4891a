// Every format written and read back through a real parser, cell by cell: what
// a spreadsheet or a script finds in the file for each awkward value.
#include <gtest/gtest.h>

#include <optional>

#include "table/table_reader.h"
#include "table/table_test_util.h"

namespace tabulon {
namespace {

using test::Rows;

struct Cell {
    std::string what;
    std::string value;                         // handed to the writer
    std::optional<std::string> exact = {};     // as jsonl holds it; default: `value`
    std::optional<std::string> guarded = {};   // as csv and tsv hold it; default: exact
    std::optional<std::string> workbook = {};  // as xlsx holds it; default: exact
};

const std::string kLong(40000, 'L');

// Which values are guarded is FormulaGuard's test; here, how a guarded value
// survives each writer's quoting and escaping.
const std::vector<Cell> kCells = {
    {"plain", "Ann Lee"},
    {"formula",
     "=HYPERLINK(\"http://x.example\",\"click\")",
     {},
     "'=HYPERLINK(\"http://x.example\",\"click\")"},
    {"line end first", "\r\n+1", {}, "'\r\n+1", "\n+1"},
    {"multi-line",
     "line one\nline two\r\nline three\rfour",
     {},
     {},
     "line one\nline two\nline three\nfour"},
    {"non-ASCII", "J\xC3\xBCrgen \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x99\x82"},
    {"Latin-1", "J\xFCrgen \x80 \x81", "J\xC3\xBCrgen \xE2\x82\xAC \xEF\xBF\xBD"},
    {"cut sequence", "x\xE2\x82", "x\xC3\xA2\xE2\x80\x9A"},
    {"quotes and commas", "say \"hi\", then go"},
    {"backslashes", "C:\\dir\\t\\"},
    {"control",
     "a\x01"
     "b",
     {},
     {},
     "a\xEF\xBF\xBD"
     "b"},
    {"not an XML character", "a\xEF\xBF\xBE b\xEF\xBF\xBF", {}, {}, "a\xEF\xBF\xBD b\xEF\xBF\xBD"},
    {"empty", ""},
    {"long", kLong, {}, {}, kLong.substr(0, 32767)},
};

Rows inputRows() {
    Rows rows;
    for (const Cell& cell : kCells)
        rows.push_back({cell.what, cell.value});
    return rows;
}

std::string expected(const Cell& cell, TableFormat format) {
    std::string exact = cell.exact.value_or(cell.value);
    switch (format) {
        case TableFormat::kCsv:
        case TableFormat::kTsv:
            return cell.guarded.value_or(exact);
        case TableFormat::kXlsx:
            return cell.workbook.value_or(exact);
        default:
            return exact;
    }
}

class ReadBack : public ::testing::TestWithParam<TableFormat> {
  protected:
    test::ReadTable writeAndRead(const std::vector<std::string>& names, const Rows& rows,
                                 const TableOptions& options = {}) {
        std::string path = dir.file("table" + std::string(formatExtension(GetParam())));
        test::writeFile(path, test::writeTable(GetParam(), names, rows, options));
        return test::readTable(std::string(formatName(GetParam())), path, dir.path());
    }
    test::TempDir dir;
};

TEST_P(ReadBack, EveryCellAsWritten) {
    TableFormat format = GetParam();
    TableOptions options;
    options.byteOrderMark = format == TableFormat::kCsv;
    test::ReadTable table = writeAndRead({"What:", "Value:"}, inputRows(), options);
    ASSERT_TRUE(table.ok) << table.error;

    bool json = format == TableFormat::kJsonl;
    size_t first = json ? 0 : 1;  // jsonl has no header row
    ASSERT_EQ(table.rows.size(), kCells.size() + first);
    if (!json) {
        EXPECT_EQ(table.rows[0], (std::vector<std::string>{"What", "Value"}));
    }
    for (size_t i = 0; i < kCells.size(); ++i) {
        const Cell& cell = kCells[i];
        std::vector<std::string> want = {cell.what, expected(cell, format)};
        if (json) want = {"What", cell.what, "Value", expected(cell, format)};
        // A workbook leaves an empty cell out.
        if (format == TableFormat::kXlsx && want.back().empty()) want.pop_back();
        EXPECT_EQ(table.rows[first + i], want) << cell.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadBack,
                         ::testing::Values(TableFormat::kCsv, TableFormat::kTsv,
                                           TableFormat::kJsonl, TableFormat::kXlsx),
                         [](const auto& info) { return std::string(formatName(info.param)); });

}  // namespace
}  // namespace tabulon
