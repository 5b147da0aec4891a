// What a conversion of many messages counts and keeps in order: rows handed on
// in input order whatever the threads, skipped messages in the report. The
// samples' cells are checked with the corpus (corpus/cases.txt), the broken
// parts' report by ConvertMessages.ReportOnStandardError.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/message_conversion.h"
#include "mail/message_splitter.h"
#include "mail/message_stream.h"
#include "test_util.h"

namespace tabulon {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(MailSamples, ThreadsHandRowsOnInOrderAndStopAtAnError) {
    std::string many;
    for (int i = 0; i < 3000; ++i) {
        many +=
            "From a@b  Mon Nov 30 09:14:02 2026\nSubject: s\n\nName: " + std::to_string(i) + "\n\n";
    }
    for (unsigned threads : {1, 2, 4}) {
        MessageRows rows(MessageConversionOptions{{"Name:"}, {}, false, threads});
        test::StringSource source(many, 4096);
        int next = 0;
        Status status = convertMessages(source, "many", rows, [&](const auto& cells) {
            if (cells[0] != std::to_string(next)) return Status::IoError("out of order");
            return ++next == 2500 ? Status::IoError("disk full") : Status::Ok();
        });
        EXPECT_EQ(status.message(), "disk full") << threads;
        EXPECT_EQ(rows.report().rowsWritten, 2499u);
    }
}

TEST(MailSamples, SkippedMessagesAreCountedAndTheNextStillConverts) {
    std::string parts;
    for (size_t i = 0; i <= MessageDecoder::kMaxParts; ++i)
        parts += "--b\n\nName: Ann\n";
    const std::string from = "From a@b Mon Nov 30 09:14:02 2026\n";
    const std::string input =
        from + "X-Mozilla-Status: 0009\nFrom: a@b\n\nName: Deleted\n\n" + from +
        "Subject: s\n\nName: Ann\n\n" + from + "Content-Type: multipart/mixed; boundary=b\n\n" +
        parts + "--b--\n\n" + from +
        "Subject: s\n\nName: " + std::string(MessageSplitter::kMaxMessageBytes, 'x') + "\n\n" +
        from +
        "Subject: RE: s\n\nThanks!\n\nFrom: f@x\nSent: Mon\nTo: i@x\nSubject: s\n\nName: Ann\n\n" +
        from + "Subject: s\n\nName: Bo\n\n" +
        // A status that is not hexadecimal marks nothing (which flags mark a message
        // deleted: the corpus's thunderbird-deleted-not-compacted.mbox).
        from + "X-Mozilla-Status: zz\nFrom: a@b\n\nName: Di\n";
    for (unsigned threads : {1, 3}) {
        MessageRows rows(MessageConversionOptions{{"Name:"}, {}, false, threads});
        test::StringSource source(input, 1 << 16);
        Rows result;
        Status status = convertMessages(source, "big.mbox", rows, [&](const auto& cells) {
            result.push_back(cells);
            return Status::Ok();
        });
        EXPECT_TRUE(status.ok());
        EXPECT_EQ(result, (Rows{{"Ann"}, {"Bo"}, {"Di"}}));
        MessageReport report = rows.report();
        EXPECT_EQ(report.messagesRead, 7u);
        EXPECT_EQ(report.rowsWritten, 3u);
        EXPECT_EQ(report.missing, std::vector<uint64_t>{0});
        std::string text = renderReport(report);
        EXPECT_EQ(text.substr(text.find("Messages skipped")),
                  "Messages skipped (marked deleted): 1\n"
                  "Messages skipped (replies quoting an earlier message): 1\n"
                  "Messages skipped (larger than 32 MB): 1\n"
                  "Messages skipped (more than 10000 MIME parts): 1\n"
                  "  big.mbox, message 3: more than 10000 MIME parts\n"
                  "  big.mbox, message 4: larger than 32 MB\n");
    }
}

// Every count the report shows only when it is not zero, each at one, and the
// reasons --strict gives.
TEST(MessageReport, ShowsEachRareCountFromOne) {
    MessageReport report;
    report.messagesRead = 2;
    report.rowsWritten = 1;
    report.columns = {"A\tB"};
    report.missing = {1};
    report.unsureRows = 1;
    report.unreadDates = 1;
    report.skippedFolderData = 1;
    report.skippedGone = 1;
    report.cellsCut = 1;
    report.files = {true, 1, 5, 1, 1};
    report.unreadFiles = 1;
    report.foldersTooDeep = 1;
    report.ownTables = 1;
    std::string text = renderReport(report);
    EXPECT_EQ(text.substr(text.find("Parts that")),
              "Parts that could not be decoded: 0\n"
              "Dates left as written, not readable as dates: 1\n"
              "Messages skipped (a mail program's folder data): 1\n"
              "Messages skipped (gone from the server before they were read): 1\n"
              "Values cut to fit a workbook cell: 1\n"
              "Attached files saved: 1 (5 bytes)\n"
              "Attached files saved under a safer name than the mail gave: 1\n"
              "Attached files not saved, larger than 25 MB: 1\n"
              "Files that could not be read: 1\n"
              "Folders not read, more than 16 below the one given: 1\n"
              "  ...\n"
              "Tables Tabulon wrote, not read as mail: 1\n");
    EXPECT_EQ(unsureText(report),
              "1 of 2 rows were read with a doubt (--report shows where); 1 value was cut to fit "
              "a workbook cell; 1 file could not be read; 1 folder lies too deep to be read");
    // Files saved, none renamed or left: the saved count alone.
    report.files = {true, 2, 9, 0, 0};
    text = renderReport(report);
    EXPECT_NE(text.find("Attached files saved: 2 (9 bytes)\nFiles that"), std::string::npos)
        << text;
}

}  // namespace
}  // namespace tabulon
