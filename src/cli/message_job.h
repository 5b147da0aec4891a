// The message conversion and the template guess of tabulon-convert: files in,
// a table or a Field Names file out, errors printed on standard error naming the
// file. "-" stands for standard input or output.
#pragma once

#include <string>
#include <vector>

#include "cli/convert_arguments.h"
#include "mail/header_cell.h"
#include "mail/message_report.h"
#include "mailbox/mailbox_options.h"
#include "output/table_format.h"
#include "table/table_writer.h"
#include "templates/field_list.h"

namespace tabulon {

struct MessageJobOptions {
    std::vector<std::string> inputs;
    // Empty: each input's table goes beside it, named after it with " Converted"
    // and the format's extension. Otherwise one table of every input's rows.
    std::string output;
    TableFormat format = TableFormat::kTab;
    TableOptions table;
    std::vector<std::string> headers;     // header columns before the fields
    DateStyle dates = DateStyle::kLocal;  // of the header columns holding dates
    FieldList fields;
    bool report = false;  // the report on standard error at the end
    bool strict = false;  // kExitIncomplete when the report is unsure (MessageReport::unsure())
    bool showProgress = false;
    // Only messages the output does not hold yet are added to it (mail/new_rows.h).
    bool newOnly = false;
    // Where the files attached to messages are saved (attachments_writer.h); "": not.
    std::string attachments;
    // For an imaps:// input: which messages, and how to reach the server.
    MailboxOptions mailbox;
    // A mailbox's password is never asked for, even on a terminal (--update-tables).
    bool neverPrompt = false;
};

// The job the command line `args` asks for, with the template's `fields`.
MessageJobOptions messageJobOptions(const ConvertArguments& args, const FieldList& fields);

// 0 when every input was converted, 1 when a file could not be read or written
// (an output is then left as it was: nothing partial appears); with `strict`, 4
// when every input was converted but the table may be wrong (MessageReport::unsure()).
// `report`, when given, gets what was read and written.
int runMessageConversion(const MessageJobOptions& options, MessageReport* report = nullptr);

// Prints the proposed Field Names file, or saves it at `output` (atomically)
// when that is not empty; with `columnsOut`, its names as --columns takes them,
// on one line. 0 on success, 1 when a file failed or no labels were found.
int runGuessTemplate(const std::vector<std::string>& inputs, const std::string& output,
                     bool columnsOut = false);

}  // namespace tabulon
