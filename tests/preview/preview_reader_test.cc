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

TEST(PreviewReader, GivesTheRowsMissingCountsAndUnknownLabels) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    PreviewReader reader({dir.file("mail.mbox")}, formOptions());
    reader.start();
    EXPECT_EQ(readAll(reader), kFormRows);
    PreviewReader::Progress progress = reader.progress();
    EXPECT_EQ(progress.messages, 3u);
    EXPECT_EQ(progress.missing, (std::vector<uint64_t>{0, 0, 1}));
    EXPECT_EQ(progress.bytesRead, progress.totalBytes);
    EXPECT_TRUE(reader.status().ok());
    MessageReport report = reader.report();
    ASSERT_EQ(report.unknownLabels.size(), 1u);
    EXPECT_EQ(report.unknownLabels[0].text, "Order:");
}

TEST(PreviewReader, KeepsTheFirstRowsButCountsThemAll) {
    TempDir dir;
    std::string mail;
    for (int i = 0; i < 20; ++i)
        mail += kFormMail + std::string("\n");
    writeFile(dir.file("big.mbox"), mail);
    PreviewReader reader({dir.file("big.mbox")}, formOptions(), 5);
    reader.start();
    std::vector<TableRow> rows = readAll(reader);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4], kFormRows[1]);
    EXPECT_EQ(reader.progress().messages, 60u);
    EXPECT_EQ(reader.progress().missing[2], 20u);
}

TEST(PreviewReader, SeveralFilesInTurnWithHeaderColumns) {
    TempDir dir;
    writeFile(dir.file("a.mbox"), kFormMail);
    writeFile(dir.file("b.mbox"), kFormMail);
    MessageConversionOptions options = formOptions();
    options.headers = {"Subject"};
    PreviewReader reader({dir.file("a.mbox"), dir.file("b.mbox")}, options);
    EXPECT_EQ(reader.columnNames(),
              (std::vector<std::string>{"Subject", "Name:", "Email:", "Phone:"}));
    reader.start();
    std::vector<TableRow> rows = readAll(reader);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[3], (TableRow{"Contact form", "Ann Lee", "ann@mail.example", "+47 555 0100"}));
    EXPECT_EQ(reader.progress().totalBytes, 2 * std::string(kFormMail).size());
}

TEST(PreviewReader, AFileThatCannotBeReadEndsTheReadingWithItsName) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    PreviewReader reader({dir.file("absent.mbox"), dir.file("mail.mbox")}, formOptions());
    reader.start();
    EXPECT_TRUE(readAll(reader).empty());
    EXPECT_NE(reader.status().message().find("absent.mbox"), std::string::npos);
}

// Destroying a reader part way stops it; nothing waits for the whole file.
TEST(PreviewReader, StopsWhenDestroyed) {
    TempDir dir;
    std::string mail;
    for (int i = 0; i < 2000; ++i)
        mail += kFormMail + std::string("\n");
    writeFile(dir.file("big.mbox"), mail);
    auto reader = std::make_unique<PreviewReader>(std::vector<std::string>{dir.file("big.mbox")},
                                                  formOptions());
    reader->start();
    reader.reset();
    SUCCEED();
}

}  // namespace
}  // namespace tabulon::test
