// What a workbook looks like when opened, and that its temporary file never
// outlives the writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include "table/table_reader.h"
#include "table/table_test_util.h"
#include "table/workbook_progress.h"
#include "table/xlsx_reader.h"

namespace tabulon {
namespace {

double width(const std::vector<std::string>& notes, const std::string& column) {
    for (const std::string& note : notes) {
        if (note.rfind("#width " + column + " ", 0) == 0) return std::stod(note.substr(9));
    }
    return 0;
}

// While a workbook is written, its progress is the file's size so far, never the
// whole of it until the writer ends.
TEST(WorkbookProgress, FollowsTheFileAsItGrows) {
    test::TempDir dir;
    const std::string path = dir.file("/book.xlsx");
    std::mutex mutex;
    std::condition_variable told;
    uint64_t seen = 0;
    auto until = [&](uint64_t size) {
        std::unique_lock<std::mutex> lock(mutex);
        return told.wait_for(lock, std::chrono::seconds(20), [&] { return seen == size; });
    };
    WorkbookProgress progress(path, 1000, [&](uint64_t done, uint64_t total) {
        EXPECT_EQ(total, 1000u);
        std::lock_guard<std::mutex> lock(mutex);
        seen = done;
        told.notify_all();
    });
    EXPECT_TRUE(until(0));  // no file yet
    std::ofstream(path) << std::string(300, 'x');
    EXPECT_TRUE(until(300));
    std::ofstream(path) << std::string(5000, 'x');
    EXPECT_TRUE(until(999));
}

// The workbook's temporary file goes in a $TMPDIR of the test's own.
class XlsxWriterTest : public ::testing::Test {
  protected:
    test::TempDir tmp;
    test::TempDir dir;
    test::ScopedEnv tmpdir{"TMPDIR", tmp.path().c_str()};
};

TEST_F(XlsxWriterTest, HeaderBoldAndFrozenTextCellsSizedColumns) {
    std::string path = dir.file("t.xlsx");
    const test::Rows rows = {{"Ann Lee", "+45 5555 0101", "two\nlines"},
                             {"Bo", "0612", std::string(500, 'c')},
                             {"Cy", "=1+1", "1E5", "a fourth cell"},
                             {"Di"}};
    test::writeFile(path,
                    test::writeTable(TableFormat::kXlsx, {"Name:", "Phone:", "Comments:"}, rows));
    test::ReadTable table = test::readTable("xlsx", path, dir.path());
    ASSERT_TRUE(table.ok) << table.error;
    test::Rows want = rows;
    want.insert(want.begin(), {"Name", "Phone", "Comments"});
    EXPECT_EQ(table.rows, want);
    const auto& notes = table.notes;
    auto has = [&](const std::string& note) { return std::ranges::count(notes, note) > 0; };
    EXPECT_TRUE(has("#sheets 1"));
    EXPECT_TRUE(has("#freeze A2"));
    for (const char* cell : {"#bold 1 1", "#bold 1 2", "#bold 1 3", "#wrap 2 3"})
        EXPECT_TRUE(has(cell)) << cell;
    EXPECT_FALSE(has("#bold 2 1"));
    EXPECT_FALSE(has("#wrap 2 1"));
    for (const std::string& note : notes)
        EXPECT_NE(note.rfind("#not-text", 0), 0u) << note;  // every cell is text
    // Wide enough for the widest entry, within bounds.
    EXPECT_GE(width(notes, "A"), 7);
    EXPECT_LT(width(notes, "A"), 15);
    EXPECT_GE(width(notes, "B"), 13);
    EXPECT_LT(width(notes, "B"), 25);
    EXPECT_NEAR(width(notes, "C"), 80, 1);  // at most 80
    EXPECT_EQ(tmp.listing(), "");
}

// A date column's dates are date-time cells that show as written; what is no
// date there, and dates in other columns, stay text. They read back as written.
TEST_F(XlsxWriterTest, ADateColumnsDatesAreDateCells) {
    std::string path = dir.file("t.xlsx");
    const test::Rows rows = {{"2026-11-30 09:14:02", "2026-11-30 09:14:02"},
                             {"last Tuesday", "x"},
                             {"2026-02-30 10:00:00", "no such day"},
                             {"1901-01-01 00:00:00", "y"},
                             {"9999-12-31 23:59:59", "z"}};
    TableOptions options;
    options.dateColumns = {true};
    test::writeFile(path, test::writeTable(TableFormat::kXlsx, {"Date", "Note"}, rows, options));
    test::ReadTable table = test::readTable("xlsx", path, dir.path());
    ASSERT_TRUE(table.ok) << table.error;
    test::Rows want = rows;
    want.insert(want.begin(), {"Date", "Note"});
    EXPECT_EQ(table.rows, want);
    std::vector<std::string> notText;
    std::ranges::copy_if(table.notes, std::back_inserter(notText),
                         [](const std::string& note) { return note.starts_with("#not-text"); });
    EXPECT_EQ(notText, (std::vector<std::string>{"#not-text 2 1 d yyyy-mm-dd hh:mm:ss",
                                                 "#not-text 5 1 d yyyy-mm-dd hh:mm:ss",
                                                 "#not-text 6 1 d yyyy-mm-dd hh:mm:ss"}));
    XlsxReader reader;
    ASSERT_TRUE(reader.open(path).ok());
    std::vector<std::string> cells;
    bool end = false;
    for (const auto& row : want) {
        ASSERT_TRUE(reader.next(&cells, &end).ok());
        EXPECT_EQ(cells, row);
    }
    ASSERT_TRUE(reader.next(&cells, &end).ok());
    EXPECT_TRUE(end);
}

// The workbook's temporary file never has a name in $TMPDIR, so that a run ended
// by any signal leaves nothing there.
TEST_F(XlsxWriterTest, TemporaryFileGoesOnEveryPath) {
    // Abandoned after a row, as a failing or interrupted conversion leaves it; and
    // finished into a sink that fills up while the workbook is copied into it.
    for (bool finished : {false, true}) {
        test::FullDiskSink sink(100);
        auto writer = makeTableWriter(TableFormat::kXlsx, sink);
        ASSERT_TRUE(writer->begin({"A:"}).ok());
        ASSERT_TRUE(writer->row({"x"}).ok());
        EXPECT_FALSE(finished && writer->finish().ok());
        EXPECT_EQ(tmp.listing(), "") << finished;
    }
    // A temporary folder that cannot be written is named; nothing is written.
    test::ScopedEnv missing("TMPDIR", dir.file("missing").c_str());
    test::StringSink sink;
    auto writer = makeTableWriter(TableFormat::kXlsx, sink);
    Status status = writer->begin({"A:"});
    EXPECT_PRED2(test::contains, status.message(), dir.file("missing"));
    EXPECT_FALSE(writer->row({"x"}).ok());
    EXPECT_FALSE(writer->finish().ok());
    EXPECT_EQ(sink.text, "");
}

TEST_F(XlsxWriterTest, MoreThanAWorkbookHoldsIsRefused) {
    test::StringSink sink;
    auto writer = makeTableWriter(TableFormat::kXlsx, sink);
    ASSERT_TRUE(writer->begin({"A:"}).ok());
    // Columns: 16,384 fit, one more does not.
    ASSERT_TRUE(writer->row(std::vector<std::string>(16384, "")).ok());
    Status status = writer->row(std::vector<std::string>(16385, "x"));
    EXPECT_PRED2(test::contains, status.message(), "row 3 has 16385 cells");
    EXPECT_PRED2(test::contains, status.message(), "16384");
    // Rows: the header and 1,048,575 rows fit, one more does not.
    status = Status::Ok();
    for (int i = 2; i < 1048576 && status.ok(); ++i)
        status = writer->row({""});
    ASSERT_TRUE(status.ok()) << status.message();
    status = writer->row({""});
    EXPECT_PRED2(test::contains, status.message(), "1048576");
}

}  // namespace
}  // namespace tabulon
