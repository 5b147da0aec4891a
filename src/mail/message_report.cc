#include "mail/message_report.h"

#include "mail/message_splitter.h"
#include "table/utf8_text.h"

namespace tabulon {

std::string skipText(Skip reason) {
    switch (reason) {
        case Skip::kDeleted:
            return "marked deleted";
        case Skip::kTooLarge:
            return "larger than " + std::to_string(MessageSplitter::kMaxMessageBytes >> 20) + " MB";
        case Skip::kTooManyParts:
            return "more than " + std::to_string(MessageDecoder::kMaxParts) + " MIME parts";
        case Skip::kQuotedReply:
            return "replies quoting an earlier message";
        case Skip::kFolderData:
            return "a mail program's folder data";
        case Skip::kNone:
            break;
    }
    return {};
}

std::string renderReport(const MessageReport& report) {
    std::string text;
    text += "Messages read: " + std::to_string(report.messagesRead) + "\n";
    text += "Rows written: " + std::to_string(report.rowsWritten) + "\n";
    text += "Messages without each column (absent, or there but empty):\n";
    for (size_t i = 0; i < report.columns.size() && i < report.missing.size(); ++i) {
        uint64_t empty = i < report.empty.size() ? report.empty[i] : 0;
        text += "  " + shownText(report.columns[i]) + " " + std::to_string(report.missing[i]) +
                " absent, " + std::to_string(empty) + " empty\n";
    }
    text += "Lines that no field took: " + std::to_string(report.unplacedLines) + "\n";
    text += "Rows lacking a field or leaving a line out: " + std::to_string(report.incompleteRows) +
            "\n";
    text += "Parts that could not be decoded: " + std::to_string(report.undecodedParts) + "\n";
    for (const std::string& sample : report.undecodedSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.undecodedSamples.size() < report.undecodedParts) text += "  ...\n";
    auto skipped = [&](Skip reason, uint64_t count) {
        if (count == 0) return;
        text += "Messages skipped (" + skipText(reason) + "): " + std::to_string(count) + "\n";
    };
    skipped(Skip::kDeleted, report.skippedDeleted);
    skipped(Skip::kQuotedReply, report.skippedReplies);
    skipped(Skip::kFolderData, report.skippedFolderData);
    skipped(Skip::kTooLarge, report.skippedTooLarge);
    skipped(Skip::kTooManyParts, report.skippedTooManyParts);
    for (const std::string& sample : report.skippedSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.skippedSamples.size() < report.skippedTooLarge + report.skippedTooManyParts)
        text += "  ...\n";
    if (report.cellsCut > 0) {
        text += "Values cut to fit a workbook cell: " + std::to_string(report.cellsCut) + "\n";
    }
    if (!report.unknownLabels.empty()) {
        text += "Labels in many messages that the template lacks:\n";
        for (const LabelCensus::Label& label : report.unknownLabels) {
            text += "  " + shownText(label.text) + " (" + std::to_string(label.messages) +
                    " messages)\n";
        }
    }
    return text;
}

}  // namespace tabulon
