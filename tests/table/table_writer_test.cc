// The bytes of the tab format, which are the line conversion's, the choices
// of the others that no parser shows, and write errors in every format.
#include "table/table_writer.h"

#include <gtest/gtest.h>

#include "table/table_test_util.h"

namespace tabulon {
namespace {

using test::Rows;

TEST(TableWriter, BytesOnlyTheWriterDecides) {
    const struct {
        TableFormat format;
        std::vector<std::string> names;
        Rows rows;
        std::string bytes;
        bool byteOrderMark = false;
    } kCases[] = {
        // The line conversion's bytes: blanks for tabs and line ends, rows as
        // long as they come, no formula guard, bytes untouched.
        {TableFormat::kTab,
         {"Name:", "Phone:", "Comments:"},
         {{" Ann", " 555", " Hi"},
          {" Bo", " no phone"},
          {" Cy", " 1", " 2", " runs on", " end"},
          {"tab\there", "cr\rlf\nboth\r\n", "=1+1"},
          {"", ""},
          {"\xE9t\xE9"}},
         "Name:\tPhone:\tComments:\r Ann\t 555\t Hi\r Bo\t no phone\r Cy\t 1\t 2\t runs on\t end\r"
         "tab here\tcr lf both  \t=1+1\r\t\r\xE9t\xE9\r"},
        {TableFormat::kCsv, {"A:"}, {{"x"}}, "\uFEFFA\r\nx\r\n", true},
        {TableFormat::kTsv, {"A:"}, {{"x"}}, "A\nx\n", true},  // only csv takes the mark
        // Repeated names get numbers.
        {TableFormat::kJsonl,
         {"Name:", "Name", "Name 2:", "", ":", "column 6"},
         {{"1", "2", "3", "4", "5", "6", "7"}},
         "{\"Name\":\"1\",\"Name 2\":\"2\",\"Name 2 2\":\"3\",\"\":\"4\",\" 2\":\"5\","
         "\"column 6\":\"6\",\"column 7\":\"7\"}\n"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(formatName(c.format));
        EXPECT_EQ(test::writeTable(c.format, c.names, c.rows, TableOptions{c.byteOrderMark}),
                  c.bytes);
    }
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
        EXPECT_NE(status.message().find("No space left on device"), std::string::npos)
            << formatName(format) << ": " << status.message();
    }
}

}  // namespace
}  // namespace tabulon
