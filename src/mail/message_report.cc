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
        case Skip::kGone:
            return "gone from the server before they were read";
        case Skip::kNone:
            break;
    }
    return {};
}

std::vector<std::string> MessageReport::columnsFoundNowhere() const {
    std::vector<std::string> nowhere;
    uint64_t rows = messagesRead - skipped();
    for (size_t i = 0; i < columns.size() && i < missing.size() && rows > 0; ++i) {
        if (missing[i] >= rows) nowhere.push_back(columns[i]);
    }
    return nowhere;
}

namespace {

// "1 file", "2 files".
std::string counted(uint64_t count, const char* one, const char* more) {
    return std::to_string(count) + " " + (count == 1 ? one : more);
}

}  // namespace

std::string unsureText(const MessageReport& report) {
    std::vector<std::string> reasons;
    if (report.unsureRows > 0) {
        reasons.push_back(std::to_string(report.unsureRows) + " of " +
                          std::to_string(report.messagesRead) +
                          " rows were read with a doubt (--report shows where)");
    }
    if (std::vector<std::string> nowhere = report.columnsFoundNowhere(); !nowhere.empty()) {
        std::string names;
        for (const std::string& name : nowhere)
            names += (names.empty() ? "" : ", ") + shownText(name);
        reasons.push_back((nowhere.size() == 1 ? "a column was" : "columns were") +
                          std::string(" found in no message: ") + names);
    }
    if (report.cellsCut > 0) {
        reasons.push_back(counted(report.cellsCut, "value was", "values were") +
                          " cut to fit a workbook cell");
    }
    if (report.unreadFiles > 0)
        reasons.push_back(counted(report.unreadFiles, "file", "files") + " could not be read");
    if (report.foldersTooDeep > 0) {
        reasons.push_back(counted(report.foldersTooDeep, "folder lies", "folders lie") +
                          " too deep to be read");
    }
    std::string text;
    for (const std::string& reason : reasons)
        text += (text.empty() ? "" : "; ") + reason;
    return text;
}

std::string renderReport(const MessageReport& report) {
    std::string text;
    text += "Messages read: " + std::to_string(report.messagesRead) + "\n";
    text += "Rows written: " + std::to_string(report.rowsWritten) + "\n";
    if (report.rowsHeld > 0)
        text += "Messages already in the table: " + std::to_string(report.rowsHeld) + "\n";
    text += "Messages without each column (absent, or there but empty):\n";
    for (size_t i = 0; i < report.columns.size() && i < report.missing.size(); ++i) {
        uint64_t empty = i < report.empty.size() ? report.empty[i] : 0;
        text += "  " + shownText(report.columns[i]) + " " + std::to_string(report.missing[i]) +
                " absent, " + std::to_string(empty) + " empty\n";
    }
    text += "Rows lacking a field: " + std::to_string(report.rowsLackingField) + "\n";
    if (std::vector<std::string> nowhere = report.columnsFoundNowhere(); !nowhere.empty()) {
        text += "Columns found in no message:";
        for (size_t i = 0; i < nowhere.size(); ++i) {
            text += i == 0 ? " " : ", ";
            text += shownText(nowhere[i]);
        }
        text += "\n";
    }
    text +=
        "Lines between fields that no field took: " + std::to_string(report.unplacedLines) + "\n";
    text +=
        "Lines shaped like a label kept in a value: " + std::to_string(report.labelledLines) + "\n";
    text += "Labels read with a doubt: " + std::to_string(report.doubtfulLabels) + "\n";
    text +=
        "Lines ending a value that may follow the form: " + std::to_string(report.doubtfulEnds) +
        "\n";
    text += "Rows read with a doubt: " + std::to_string(report.unsureRows) + "\n";
    for (const std::string& sample : report.unsureSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.unsureSamples.size() <
        report.unplacedLines + report.labelledLines + report.doubtfulLabels + report.doubtfulEnds)
        text += "  ...\n";
    text += "Parts that could not be decoded: " + std::to_string(report.undecodedParts) + "\n";
    for (const std::string& sample : report.undecodedSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.undecodedSamples.size() < report.undecodedParts) text += "  ...\n";
    if (report.unreadDates > 0) {
        text +=
            "Dates left as written, not readable as dates: " + std::to_string(report.unreadDates) +
            "\n";
    }
    auto skipped = [&](Skip reason, uint64_t count) {
        if (count == 0) return;
        text += "Messages skipped (" + skipText(reason) + "): " + std::to_string(count) + "\n";
    };
    skipped(Skip::kDeleted, report.skippedDeleted);
    skipped(Skip::kQuotedReply, report.skippedReplies);
    skipped(Skip::kFolderData, report.skippedFolderData);
    skipped(Skip::kGone, report.skippedGone);
    skipped(Skip::kTooLarge, report.skippedTooLarge);
    skipped(Skip::kTooManyParts, report.skippedTooManyParts);
    for (const std::string& sample : report.skippedSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.skippedSamples.size() < report.skippedTooLarge + report.skippedTooManyParts)
        text += "  ...\n";
    if (report.cellsCut > 0) {
        text += "Values cut to fit a workbook cell: " + std::to_string(report.cellsCut) + "\n";
    }
    if (report.files.asked) {
        text += "Attached files saved: " + std::to_string(report.files.saved) + " (" +
                std::to_string(report.files.bytes) + " bytes)\n";
        if (report.files.renamed > 0) {
            text += "Attached files saved under a safer name than the mail gave: " +
                    std::to_string(report.files.renamed) + "\n";
        }
        if (report.files.tooLarge > 0) {
            text += "Attached files not saved, larger than " +
                    std::to_string(kMaxAttachedFileBytes >> 20) +
                    " MB: " + std::to_string(report.files.tooLarge) + "\n";
        }
    }
    if (report.unreadFiles > 0)
        text += "Files that could not be read: " + std::to_string(report.unreadFiles) + "\n";
    if (report.foldersTooDeep > 0) {
        text += "Folders not read, more than " + std::to_string(kMaxFolderDepth) +
                " below the one given: " + std::to_string(report.foldersTooDeep) + "\n";
    }
    for (const std::string& sample : report.leftOutSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.leftOutSamples.size() < report.unreadFiles + report.foldersTooDeep)
        text += "  ...\n";
    if (report.ownTables > 0) {
        text +=
            "Tables Tabulon wrote, not read as mail: " + std::to_string(report.ownTables) + "\n";
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
