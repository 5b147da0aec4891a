#include "mail/message_report.h"

#include "table/utf8_text.h"

namespace tabulon {

std::string renderReport(const MessageReport& report) {
    std::string text;
    text += "Messages read: " + std::to_string(report.messagesRead) + "\n";
    text += "Rows written: " + std::to_string(report.rowsWritten) + "\n";
    text += "Messages without each column:\n";
    for (size_t i = 0; i < report.columns.size() && i < report.missing.size(); ++i) {
        text +=
            "  " + shownText(report.columns[i]) + " " + std::to_string(report.missing[i]) + "\n";
    }
    text += "Parts that could not be decoded: " + std::to_string(report.undecodedParts) + "\n";
    for (const std::string& sample : report.undecodedSamples)
        text += "  " + shownText(sample) + "\n";
    if (report.undecodedSamples.size() < report.undecodedParts) text += "  ...\n";
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
