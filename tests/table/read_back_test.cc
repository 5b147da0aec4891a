// Every format written and read back through a real parser, cell by cell: what
// a spreadsheet or a script finds in the file for each awkward value.
#include <gtest/gtest.h>

#include <optional>

#include "table/table_reader.h"
#include "table/table_test_util.h"

namespace tabulon {
namespace {

struct Cell {
    std::string what;
    std::string value;                         // handed to the writer
    std::optional<std::string> exact = {};     // as jsonl holds it; default: `value`
    std::optional<std::string> guarded = {};   // as csv and tsv hold it; default: exact
    std::optional<std::string> workbook = {};  // as xlsx holds it; default: exact
};

const std::string kLong(40000, 'L');
const std::string kEmoji = "\xF0\x9F\x99\x82";

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
    {"full-width", "\xEF\xBC\xA1\xEF\xBD\x9A \xEF\xBF\xA5"},  // U+FF21 U+FF5A U+FFE5
    {"Latin-1", "J\xFCrgen \x80 \x81", "J\xC3\xBCrgen \xE2\x82\xAC \xEF\xBF\xBD"},
    {"cut sequence", "x\xE2\x82", "x\xC3\xA2\xE2\x80\x9A"},
    {"quotes, commas, tabs", "say \"hi\",\tthen go"},
    {"backslashes", "C:\\dir\\t\\"},
    {"control", "a\x01z\x1B", {}, "a\xEF\xBF\xBDz\xEF\xBF\xBD", "a\xEF\xBF\xBDz\xEF\xBF\xBD"},
    {"not an XML character", "a\xEF\xBF\xBE b\xEF\xBF\xBF", {}, {}, "a\xEF\xBF\xBD b\xEF\xBF\xBD"},
    {"empty", ""},
    {"long", kLong, {}, {}, kLong.substr(0, 32767)},
    // A workbook counts UTF-16 units: an emoji takes two, and is never cut in half.
    {"long emoji", test::repeat(kEmoji, 20000), {}, {}, test::repeat(kEmoji, 16383)},
    {"emoji at the limit", kLong.substr(0, 32766) + kEmoji, {}, {}, kLong.substr(0, 32766)},
};

class ReadBack : public ::testing::TestWithParam<TableFormat> {};

TEST_P(ReadBack, EveryCellAsWritten) {
    TableFormat format = GetParam();
    test::Rows rows;
    for (const Cell& cell : kCells)
        rows.push_back({cell.what, cell.value});
    rows.push_back({"ragged", "v", "a third cell"});
    TableOptions options{format == TableFormat::kCsv};
    test::TempDir dir;
    std::string path = dir.file("table" + std::string(formatExtension(format)));
    test::writeFile(path, test::writeTable(format, {"What:", "Value:"}, rows, options));
    test::ReadTable table = test::readTable(std::string(formatName(format)), path, dir.path());
    ASSERT_TRUE(table.ok) << table.error;

    bool json = format == TableFormat::kJsonl;
    size_t first = json ? 0 : 1;  // jsonl has no header row
    ASSERT_EQ(table.rows.size(), kCells.size() + 1 + first);
    if (!json) {
        EXPECT_EQ(table.rows[0], (std::vector<std::string>{"What", "Value"}));
    }
    for (size_t i = 0; i < kCells.size(); ++i) {
        const Cell& cell = kCells[i];
        std::string exact = cell.exact.value_or(cell.value);
        std::string value = json                           ? exact
                            : format == TableFormat::kXlsx ? cell.workbook.value_or(exact)
                                                           : cell.guarded.value_or(exact);
        std::vector<std::string> want = {cell.what, value};
        if (json) want = {"What", cell.what, "Value", value};
        // A workbook leaves an empty cell out.
        if (format == TableFormat::kXlsx && value.empty()) want.pop_back();
        EXPECT_EQ(table.rows[first + i], want) << cell.what;
    }
    std::vector<std::string> ragged = {"ragged", "v", "a third cell"};
    if (json) ragged = {"What", "ragged", "Value", "v", "column 3", "a third cell"};
    EXPECT_EQ(table.rows.back(), ragged);
}

// Every format but tab, which turns Tabs and line ends in a value into blanks.
std::vector<TableFormat> readableFormats() {
    std::vector<TableFormat> formats;
    for (const FormatInfo& info : tableFormats()) {
        if (info.format != TableFormat::kTab) formats.push_back(info.format);
    }
    return formats;
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadBack, ::testing::ValuesIn(readableFormats()),
                         [](const auto& info) { return std::string(formatName(info.param)); });

// Quotes opened by spreadsheets, which take a field that begins with '"' for a
// quoted one: each value stays one cell of its own row. What the file holds is
// what shows, but Gnumeric drops the "'" that marks a value as text.
struct Quoted {
    std::string what, value, tab, tsv;  // tsv: the cell as written, escapes and all
};

const std::vector<Quoted> kQuoted = {
    {"begins", "\"Great\" service", "'\"Great\" service", "'\"Great\" service"},
    {"blank first", " \"x", "' \"x", "' \"x"},
    {"ends", "said no\"", "said no\"", "said no\""},
    {"doubled", "two \"\" quotes", "two \"\" quotes", "two \"\" quotes"},
    {"lone", "\"", "'\"", "'\""},
    {"Tab inside", "\"a\tb\"", "'\"a b\"", "'\"a\\tb\""},
    {"line ends inside", "\"one\ntwo\"", "'\"one two\"", "'\"one\\ntwo\""},
    {"line end first", "\n\"x", "' \"x", "'\\n\"x"},
};

class SpreadsheetReadBack : public ::testing::TestWithParam<std::string> {};

TEST_P(SpreadsheetReadBack, QuotesStayInTheirCell) {
    test::Rows rows;
    for (const Quoted& cell : kQuoted)
        rows.push_back({cell.what, cell.value, "end"});
    for (TableFormat format : {TableFormat::kTab, TableFormat::kTsv, TableFormat::kCsv}) {
        SCOPED_TRACE(formatName(format));
        test::TempDir dir;
        std::string path = dir.file("table" + std::string(formatExtension(format)));
        test::writeFile(path, test::writeTable(format, {"What", "Value", "End"}, rows));
        test::ReadTable table =
            test::readTable(std::string(formatName(format)), path, dir.path(), GetParam());
        if (table.missing) GTEST_SKIP() << GetParam() << " is not installed";
        ASSERT_TRUE(table.ok) << table.error;
        ASSERT_EQ(table.rows.size(), kQuoted.size() + 1);
        for (size_t i = 0; i < kQuoted.size(); ++i) {
            const Quoted& cell = kQuoted[i];
            std::string shown = format == TableFormat::kCsv   ? cell.value
                                : format == TableFormat::kTab ? cell.tab
                                                              : cell.tsv;
            if (GetParam() == "gnumeric" && shown.starts_with('\'')) shown.erase(0, 1);
            EXPECT_EQ(table.rows[i + 1], (std::vector<std::string>{cell.what, shown, "end"}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Spreadsheets, SpreadsheetReadBack,
                         ::testing::Values("gnumeric", "libreoffice"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
