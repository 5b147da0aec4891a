// What a message conversion met: messages read, rows written, how many messages
// lacked each column, what could not be decoded, and labels that many messages
// use but no column takes. Plain data, so that tabulon-convert prints it and the
// app can show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mail/label_census.h"
#include "mail/message_decoder.h"

namespace tabulon {

// How many folders below a folder given its mail is looked for (mail_folder.h).
constexpr int kMaxFolderDepth = 16;

// What --attachments saved.
struct SavedFilesCount {
    bool asked = false;     // files were to be saved: the report says how many
    uint64_t saved = 0;     // files written (or found there with the same bytes)
    uint64_t bytes = 0;     // their size
    uint64_t tooLarge = 0;  // files over kMaxAttachedFileBytes, not saved
    uint64_t renamed = 0;   // files whose name from the mail was unsafe and changed
};

struct MessageReport {
    uint64_t messagesRead = 0;
    uint64_t rowsWritten = 0;
    uint64_t rowsHeld = 0;  // messages whose rows the table held already (--new-only)
    std::vector<std::string> columns;
    std::vector<uint64_t> missing;  // per column: messages without it
    std::vector<uint64_t> empty;    // per column: messages where it is there but empty
    uint64_t unplacedLines = 0;     // lines between a form's fields that no field took
    uint64_t labelledLines = 0;     // lines shaped "Label: text" kept inside a value
    uint64_t doubtfulLabels = 0;    // labels read with a doubt (FormText::doubtfulLabels)
    uint64_t doubtfulEnds = 0;      // lines ending a value that may follow the form
    uint64_t rowsLackingField = 0;  // rows without one of the columns (an optional field)
    uint64_t unsureRows = 0;        // rows leaving a line out or with a doubtful label
    // The first few of those lines: "mail.mbox, message 3: no field took \"...\"".
    std::vector<std::string> unsureSamples;
    uint64_t undecodedParts = 0;
    uint64_t unreadDates = 0;  // dates of header columns that stayed as written
    // The first few undecoded parts: "mail.mbox, message 7: broken base64".
    std::vector<std::string> undecodedSamples;
    // Labels of fields in at least a tenth of the messages (and two) that no column
    // takes.
    std::vector<LabelCensus::Label> unknownLabels;
    // Messages read that gave no row, by reason.
    uint64_t skippedDeleted = 0;       // marked deleted by the mail client
    uint64_t skippedTooLarge = 0;      // over the size limit
    uint64_t skippedTooManyParts = 0;  // over the MIME part limit
    uint64_t skippedReplies = 0;       // replies with no field outside their quote
    uint64_t skippedFolderData = 0;    // a mail program's folder data message
    uint64_t skippedGone = 0;          // gone from an IMAP folder before it was fetched
    // The first few too large ones: "mail.mbox, message 7: larger than 32 MB".
    std::vector<std::string> skippedSamples;

    uint64_t skipped() const {
        return skippedDeleted + skippedTooLarge + skippedTooManyParts + skippedReplies +
               skippedFolderData + skippedGone;
    }
    // Values cut at the most a workbook cell holds (xlsx).
    uint64_t cellsCut = 0;
    SavedFilesCount files;
    // Files and folders of a folder given that were not read.
    uint64_t unreadFiles = 0;     // gone since the folder was listed, or unreadable
    uint64_t foldersTooDeep = 0;  // more than kMaxFolderDepth below the folder given
    uint64_t ownTables = 0;       // tables Tabulon wrote, never read as mail
    // The first few of the first two: "md/new/1: Cannot open ...".
    std::vector<std::string> leftOutSamples;

    // The columns that no message had, when some message gave a row.
    std::vector<std::string> columnsFoundNowhere() const;
    // Whether the table may be wrong: a row's reading left a line between its
    // fields out or took a label that may be text, a column was found in no
    // message, a value was cut, or mail of a folder was not read. A field that
    // some messages lack is no doubt, nor a label-shaped line kept in a value
    // (shown all the same).
    bool unsure() const {
        return unsureRows > 0 || cellsCut > 0 || unreadFiles > 0 || foldersTooDeep > 0 ||
               !columnsFoundNowhere().empty();
    }
};

// Why a message was skipped, in a few words: "larger than 32 MB".
std::string skipText(Skip reason);

// Why the report is unsure, in one sentence: "2 of 6 rows were read with a
// doubt; a column was found in no message: Phone". Empty when it is not.
std::string unsureText(const MessageReport& report);

// The report as lines of text for a terminal. What came from a mail or a
// template (samples, labels, column names) is shown as shownText() shows it:
// control characters escaped, a long text cut.
std::string renderReport(const MessageReport& report);

}  // namespace tabulon
