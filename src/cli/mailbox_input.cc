#include "cli/mailbox_input.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "cli/mailbox_password.h"
#include "cli/progress_line.h"
#include "mail/imap_mailbox.h"
#include "mail/mailbox_conversion.h"

namespace tabulon {

Status convertMailboxInput(const std::string& url, const MessageJobOptions& options,
                           MessageRows& rows, const RowFn& onRow, SeenMessages* seen) {
    ImapAccount account;
    account.url = url;
    account.caFile = options.caFile;
    // TABULON_IMAP_TIMEOUT (seconds) shortens both timeouts, for tests.
    if (const char* timeout = std::getenv("TABULON_IMAP_TIMEOUT")) {
        long seconds = std::atol(timeout);
        if (seconds > 0) account.connectSeconds = account.stallSeconds = seconds;
    }
    // The address and the filters are checked before a password is asked for.
    ImapAddress address;
    std::string command;
    Status status = parseImapAddress(url, &address);
    if (status.ok()) status = imapSearchCommand(options.search, 0, 0, &command);
    if (status.ok()) {
        status =
            mailboxPassword(address.user, address.host, options.passwordFile, &account.password);
    }
    std::unique_ptr<ImapMailbox> mailbox;
    if (status.ok()) status = ImapMailbox::open(account, &mailbox);
    std::vector<uint64_t> uids;
    if (status.ok()) status = mailbox->search(options.search, &uids);
    if (!status.ok()) return status;
    // A UID names one message for as long as the folder keeps its UIDVALIDITY;
    // after a change every message is fetched again and known by its identity.
    auto uidKey = [&](uint64_t uid) {
        return "uid:" + std::to_string(mailbox->uidValidity()) + ":" + std::to_string(uid) + ":" +
               url;
    };
    if (seen) {
        std::erase_if(uids, [&](uint64_t uid) { return seen->has(uidKey(uid)); });
    }
    std::string name = address.host + "/" + address.folder;
    std::optional<ProgressLine> line;
    if (options.showProgress) line.emplace(name);
    status = convertMailbox(*mailbox, uids, name, rows, onRow, [&](uint64_t done, uint64_t total) {
        if (line) line->update(done, total);
    });
    if (status.ok() && seen) {
        for (uint64_t uid : uids)
            seen->add(uidKey(uid));
    }
    return status;
}

}  // namespace tabulon
