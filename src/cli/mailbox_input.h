// An IMAP mailbox as an input of tabulon-convert's message conversion: the
// password found, the folder searched, and the matching messages converted.
#pragma once

#include <string>

#include "cli/message_job.h"
#include "mail/message_conversion.h"
#include "output/seen_messages.h"

namespace tabulon {

// Converts the messages of mailbox `url` that `options.search` matches. Errors
// name the server; a password is never taken from the command line. With
// `seen`, messages whose UID it holds for the folder's UIDVALIDITY are not
// fetched again, and those fetched are added to it by UID.
Status convertMailboxInput(const std::string& url, const MessageJobOptions& options,
                           MessageRows& rows, const RowFn& onRow, SeenMessages* seen = nullptr);

}  // namespace tabulon
