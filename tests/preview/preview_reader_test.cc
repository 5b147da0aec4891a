#include "preview/preview_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "preview/preview_samples.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

MessageConversionOptions formOptions() {
    MessageConversionOptions options;
    options.fields = kFormFields;
    options.countLabels = true;
    return options;
}

// Takes rows until the reading has ended.
std::vector<TableRow> readAll(PreviewReader& reader) {
    std::vector<TableRow> rows;
    for (;;) {
        bool done = reader.progress().done;
        reader.takeRows(&rows);
        if (done) return rows;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The first rows are kept, every message is counted: the missing cells and the
// labels the template lacks. A reader destroyed part way stops.
TEST(PreviewReader, KeepsTheFirstRowsButCountsThemAll) {
    TempDir dir;
    std::string mail;
    for (int i = 0; i < 2000; ++i)
        mail += kFormMail + std::string("\n");
    writeFile(dir.file("big.mbox"), mail);
    auto stopped = std::make_unique<PreviewReader>(std::vector<std::string>{dir.file("big.mbox")},
                                                   formOptions());
    stopped->start();
    stopped.reset();

    PreviewReader reader({dir.file("big.mbox")}, formOptions(), 5);
    reader.start();
    std::vector<TableRow> rows = readAll(reader);
    std::vector<TableRow> first = kFormRows;
    first.insert(first.end(), kFormRows.begin(), kFormRows.begin() + 2);
    EXPECT_EQ(rows, first);
    PreviewReader::Progress progress = reader.progress();
    EXPECT_EQ(progress.messages, 6000u);
    EXPECT_EQ(progress.missing, (std::vector<uint64_t>{0, 0, 2000}));
    EXPECT_EQ(progress.bytesRead, progress.totalBytes);
    EXPECT_TRUE(reader.status().ok());
    MessageReport report = reader.report();
    ASSERT_EQ(report.unknownLabels.size(), 1u);
    EXPECT_EQ(report.unknownLabels[0].text, "Order:");
}

// Files are read in turn, header columns first; one that cannot be read ends
// the reading with its name.
TEST(PreviewReader, SeveralFilesInTurnWithHeaderColumns) {
    TempDir dir;
    writeFile(dir.file("a.mbox"), kFormMail);
    writeFile(dir.file("b.mbox"), kFormMail);
    MessageConversionOptions options = formOptions();
    options.headers = {"Subject"};
    PreviewReader reader({dir.file("a.mbox"), dir.file("b.mbox"), dir.file("absent.mbox")},
                         options);
    EXPECT_EQ(reader.columnNames(),
              (std::vector<std::string>{"Subject", "Name:", "Email:", "Phone:"}));
    reader.start();
    std::vector<TableRow> rows = readAll(reader);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[3], (TableRow{"Contact form", "Ann Lee", "ann@mail.example", "+47 555 0100"}));
    EXPECT_EQ(reader.progress().totalBytes, 2 * std::string(kFormMail).size());
    EXPECT_NE(reader.status().message().find("absent.mbox"), std::string::npos);
}

}  // namespace
}  // namespace tabulon::test
