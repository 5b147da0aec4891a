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
    uint64_t messagesSkipped = 0;  // marked trashed or deleted by a mail client
    std::vector<std::string> columns;
    std::vector<uint64_t> missing;  // per column: messages without it
    std::vector<uint64_t> empty;    // per column: messages where it is there but empty
    uint64_t unplacedLines = 0;     // lines of text after a form's first field that no field took
    uint64_t incompleteRows = 0;    // rows missing a column or leaving a line unplaced
    uint64_t undecodedParts = 0;
    // The first few undecoded parts: "mail.mbox, message 7: broken base64".
    std::vector<std::string> undecodedSamples;
    // Labels of fields in at least a tenth of the messages (and two) that no column
    // takes.
    std::vector<LabelCensus::Label> unknownLabels;
};

// The report as lines of text for a terminal.
std::string renderReport(const MessageReport& report);

}  // namespace tabulon
