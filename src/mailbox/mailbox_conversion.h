// The message conversion of an IMAP folder: the messages a search matched, one
// row each, in UID order, converted as they arrive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mail/message_conversion.h"
#include "mailbox/imap_mailbox.h"
#include "mailbox/mailbox_options.h"
#include "mailbox/mailbox_password.h"
#include "output/seen_messages.h"

namespace tabulon {

// As convertMessages() does for a file: unless `rows` has learned the form's
// layout, the first messages (as many as a file's look-ahead takes) teach it
// before any becomes a row; after them, memory holds one message. `progress` is
// given messages fetched and `uids.size()`. Messages gone from the folder are
// counted in the report and their UIDs added to `gone`.
Status convertMailbox(ImapMailbox& mailbox, const std::vector<uint64_t>& uids,
                      std::string_view name, MessageRows& rows, const RowFn& onRow,
                      const ProgressFn& progress = {}, std::vector<uint64_t>* gone = nullptr);

// One folder of a mailbox and the messages of it to read.
struct MailboxQuery {
    ImapAccount account;
    ImapSearch search;
};

// Logs in to the folder `account` names, searches it and converts the messages
// `search` matches, as above; errors name the server. With `seen`, messages
// whose UID it holds for the folder's UIDVALIDITY are not fetched again, and
// those fetched are added to it by UID (not those gone, whose refusal may
// have had another cause).
Status readMailbox(const ImapAccount& account, const ImapSearch& search, MessageRows& rows,
                   const RowFn& onRow, SeenMessages* seen = nullptr,
                   const ProgressFn& progress = {});

// Reads the mailbox `url` as readMailbox() does, for a caller that has no
// password yet: the address and the filters are checked first, then the
// password is looked for (mailboxPassword()) and wiped after. The variable
// TABULON_IMAP_TIMEOUT (seconds) shortens every time limit, for tests.
Status readMailboxAt(const std::string& url, const MailboxOptions& options,
                     const PasswordSources& sources, MessageRows& rows, const RowFn& onRow,
                     SeenMessages* seen = nullptr, const ProgressFn& progress = {});

}  // namespace tabulon
