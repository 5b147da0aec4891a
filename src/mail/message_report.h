// What a message conversion met: messages read, rows written, how many messages
// lacked each column, what could not be decoded, and labels that many messages
// use but no column takes. Plain data, so that tabulon-convert prints it and the
// app can show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mail/label_census.h"

namespace tabulon {

struct MessageReport {
    uint64_t messagesRead = 0;
    uint64_t rowsWritten = 0;
    std::vector<std::string> columns;
    std::vector<uint64_t> missing;  // per column: messages without it
    uint64_t undecodedParts = 0;
    // The first few undecoded parts: "mail.mbox, message 7: broken base64".
    std::vector<std::string> undecodedSamples;
    // Labels in at least a tenth of the messages (and two) that no column takes.
    std::vector<LabelCensus::Label> unknownLabels;
    // Values cut at the most a workbook cell holds (xlsx).
    uint64_t cellsCut = 0;
};

// The report as lines of text for a terminal. What came from a mail or a
// template (samples, labels, column names) is shown as shownText() shows it:
// control characters escaped, a long text cut.
std::string renderReport(const MessageReport& report);

}  // namespace tabulon
