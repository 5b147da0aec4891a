// The bytes each text format writes, and the choices every format shares.
#include "table/table_writer.h"

#include <gtest/gtest.h>

#include "table/table_test_util.h"

namespace tabulon {
namespace {

using test::writeTable;

TEST(TableFormat, ColumnTitles) {
    const std::pair<std::string, std::string> cases[] = {
        {"Name:", "Name"},
        {"E-mail :", "E-mail"},
        {"Phone: ", "Phone"},
        {"Note::", "Note:"},
        {"Plain", "Plain"},
        {":", ""},
        {"", ""},
        {" Lead:", " Lead"},
        {"a:b", "a:b"},
    };
    for (const auto& [name, title] : cases)
        EXPECT_EQ(columnTitle(name), title) << name;
}

// The line conversion's bytes, a row's oddities included.
TEST(TabWriter, WritesTheLineConversionBytes) {
    std::vector<std::string> names = {"Name:", "Phone:", "Comments:"};
    EXPECT_EQ(writeTable(TableFormat::kTab, names,
                         {{" Ann", " 555", " Hi"},
                          {" Bo", " no phone"},                       // short row
                          {" Cy", " 1", " 2", " runs on", " end"},    // long row
                          {"tab\there", "cr\rlf\nboth\r\n", "=1+1"},  // blanks, no guard
                          {"", ""},
                          {"\xE9t\xE9"}}),  // bytes untouched
              "Name:\tPhone:\tComments:\r"
              " Ann\t 555\t Hi\r"
              " Bo\t no phone\r"
              " Cy\t 1\t 2\t runs on\t end\r"
              "tab here\tcr lf both  \t=1+1\r"
              "\t\r"
              "\xE9t\xE9\r");
}

TEST(CsvWriter, QuotesOnlyWhereNeeded) {
    EXPECT_EQ(writeTable(TableFormat::kCsv, {"Name:", "Note:"},
                         {{"Ann Lee", "plain"},
                          {"Lee, Ann", "say \"hi\""},
                          {"two\nlines", "cr\r\nlf"},
                          {"", ""},
                          {""},
                          {"=1+1", "+45 5555 0101"},
                          {"=a,b", ""}}),
              "Name,Note\r\n"
              "Ann Lee,plain\r\n"
              "\"Lee, Ann\",\"say \"\"hi\"\"\"\r\n"
              "\"two\nlines\",\"cr\r\nlf\"\r\n"
              ",\r\n"
              "\"\"\r\n"
              "'=1+1,'+45 5555 0101\r\n"
              "\"'=a,b\",\r\n");
}

TEST(CsvWriter, ByteOrderMarkOnlyWhenAsked) {
    TableOptions bom;
    bom.byteOrderMark = true;
    EXPECT_EQ(writeTable(TableFormat::kCsv, {"A:"}, {{"x"}}, bom),
              "\xEF\xBB\xBF"
              "A\r\nx\r\n");
    EXPECT_EQ(writeTable(TableFormat::kCsv, {"A:"}, {{"x"}}), "A\r\nx\r\n");
    // Only csv takes it.
    EXPECT_EQ(writeTable(TableFormat::kTsv, {"A:"}, {{"x"}}, bom), "A\nx\n");
}

TEST(TsvWriter, EscapesWhatWouldBreakARow) {
    EXPECT_EQ(
        writeTable(
            TableFormat::kTsv, {"Name:", "Note:"},
            {{"a\tb", "c\nd\r\ne"}, {"C:\\dir\\", "\\t is not a tab"}, {"-5", "@home"}, {"", ""}}),
        "Name\tNote\n"
        "a\\tb\tc\\nd\\r\\ne\n"
        "C:\\\\dir\\\\\t\\\\t is not a tab\n"
        "'-5\t'@home\n"
        "\t\n");
}

TEST(JsonlWriter, OneObjectPerRow) {
    EXPECT_EQ(writeTable(TableFormat::kJsonl, {"Name:", "Note:"},
                         {{"Ann", "say \"hi\"\n\tC:\\ \x01"}, {"=1+1"}, {"a", "b", "c"}}),
              "{\"Name\":\"Ann\",\"Note\":\"say \\\"hi\\\"\\n\\tC:\\\\ \\u0001\"}\n"
              "{\"Name\":\"=1+1\"}\n"
              "{\"Name\":\"a\",\"Note\":\"b\",\"column 3\":\"c\"}\n");
}

TEST(JsonlWriter, RepeatedNamesGetNumbers) {
    EXPECT_EQ(writeTable(TableFormat::kJsonl, {"Name:", "Name", "Name 2:", "", ":", "column 6"},
                         {{"1", "2", "3", "4", "5", "6", "7"}}),
              "{\"Name\":\"1\",\"Name 2\":\"2\",\"Name 2 2\":\"3\",\"\":\"4\",\" 2\":\"5\","
              "\"column 6\":\"6\",\"column 7\":\"7\"}\n");
}

// A failing sink stops every format with its error, whichever call meets it.
TEST(TableWriter, WriteErrorsComeBack) {
    for (auto format : {TableFormat::kTab, TableFormat::kTsv, TableFormat::kCsv, TableFormat::kXlsx,
                        TableFormat::kJsonl}) {
        test::FullDiskSink sink(100);
        std::unique_ptr<TableWriter> writer = makeTableWriter(format, sink);
        Status status = writer->begin({"Name:", "Comments:"});
        std::string cell(1000, 'x');
        for (int i = 0; i < 2000 && status.ok(); ++i)
            status = writer->row({cell, cell});
        if (status.ok()) status = writer->finish();
        EXPECT_FALSE(status.ok()) << formatName(format);
        EXPECT_NE(status.message().find("No space left on device"), std::string::npos)
            << formatName(format) << ": " << status.message();
    }
}

}  // namespace
}  // namespace tabulon
