// Writes the whole table of a message conversion of one or more mail files, or
// of a mailbox folder, into one output file of a chosen format: one header row,
// then one row per message of every input in turn. The output appears only
// when complete; after any failure the output path holds what it held before,
// and an output that names one of the inputs is refused. With only the new
// messages, rows are added to a text table for the messages it does not hold
// yet, as tabulon-convert --new-only adds them.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "conversion/converter.h"
#include "mail/message_conversion.h"
#include "mailbox/mailbox_conversion.h"
#include "output/table_format.h"
#include "table/table_writer.h"

namespace tabulon {

struct ExportRequest {
    std::vector<std::string> inputs;
    std::optional<MailboxQuery> mailbox;  // read instead of `inputs` when given
    MessageConversionOptions options;
    TableFormat format = TableFormat::kXlsx;
    TableOptions table;
    std::string output;
    bool newOnly = false;
    // Where the files attached to messages are saved (attachments_writer.h); "": not.
    std::string attachments;
};

// What an export wrote: its rows, and whether they were added to a table that
// was there (only the new messages).
struct ExportResult {
    uint64_t rows = 0;
    bool addedTo = false;
    uint64_t filesSaved = 0;  // with `attachments`
};

// `progress` gets the bytes read of all inputs together and their total size
// (of a mailbox: messages fetched and found). Once `*stop` holds (set from any
// thread), the export ends soon after and leaves nothing. `result`, when
// given, tells what was written.
Status exportTable(const ExportRequest& request, const ProgressFn& progress = {},
                   const std::atomic<bool>* stop = nullptr, ExportResult* result = nullptr);

}  // namespace tabulon
