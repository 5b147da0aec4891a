#include "cli/mailbox_input.h"

#include <cstdlib>
#include <optional>

#include "cli/mailbox_password.h"
#include "cli/progress_line.h"
#include "mail/imap_mailbox.h"
#include "mail/mailbox_conversion.h"
#include "platform/secret_memory.h"

namespace tabulon {

Status convertMailboxInput(const std::string& url, const MessageJobOptions& options,
                           MessageRows& rows, const RowFn& onRow, SeenMessages* seen) {
    ImapAccount account;
    account.url = url;
    account.caFile = options.caFile;
    // TABULON_IMAP_TIMEOUT (seconds) shortens every time limit, for tests.
    if (const char* timeout = std::getenv("TABULON_IMAP_TIMEOUT")) {
        long seconds = std::atol(timeout);
        if (seconds > 0) {
            account.connectSeconds = account.stallSeconds = account.replySeconds = seconds;
        }
    }
    // The address and the filters are checked before a password is asked for.
    ImapAddress address;
    std::string command;
    Status status = parseImapAddress(url, &address);
    if (status.ok()) status = imapSearchCommand(options.search, 0, 0, &command);
    if (status.ok()) {
        status = mailboxPassword(address.user, address.host, address.hostName, options.passwordFile,
                                 &account.password, !options.neverPrompt);
    }
    if (!status.ok()) return status;
    std::optional<ProgressLine> line;
    if (options.showProgress) line.emplace(address.host + "/" + address.folder);
    status =
        readMailbox(account, options.search, rows, onRow, seen, [&](uint64_t done, uint64_t total) {
            if (line) line->update(done, total);
        });
    wipe(&account.password);
    return status;
}

}  // namespace tabulon
