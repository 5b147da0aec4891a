#include "mailbox/mailbox_conversion.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "mail/form_layout.h"
#include "mail/layout_lookahead.h"
#include "platform/secret_memory.h"

namespace tabulon {
namespace {

// Learns the form from the first of `uids`, the folder's messages, as a
// conversion of them all would, without making rows.
Status learnFromFirst(ImapMailbox& mailbox, const std::vector<uint64_t>& uids, MessageRows& rows) {
    FormLayoutLearner learner;
    LayoutLookahead lookahead(&learner);
    bool enough = false;
    std::vector<uint64_t> first(uids.begin(), uids.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                 uids.size(), kLookaheadMessages)));
    Status status = mailbox.fetch(first, [&](const ImapMailbox::Message& message) {
        if (!enough && !message.gone)
            enough = lookahead.add({std::string(message.text), message.tooLarge});
        return Status::Ok();
    });
    if (status.ok()) rows.learn(learner.layout());
    return status;
}

}  // namespace

Status convertMailbox(ImapMailbox& mailbox, const std::vector<uint64_t>& uids,
                      std::string_view name, MessageRows& rows, const RowFn& onRow,
                      const ProgressFn& progress, std::vector<uint64_t>* gone) {
    uint64_t done = 0;
    std::vector<std::string> cells;
    auto convert = [&](std::string_view message, bool tooLarge) {
        // A message that gives no row (a reply quoting a form mail) is only counted.
        Status status = Status::Ok();
        if (rows.rowOf(message, name, &cells, tooLarge)) {
            status = onRow(cells);
            if (status.ok()) rows.countWritten();
        }
        return status;
    };
    FormLayoutLearner learner;
    LayoutLookahead lookahead(&learner);
    auto learnAndConvertHeld = [&]() {
        rows.learn(learner.layout());
        Status status = Status::Ok();
        for (const MessageSplitter::Message& held : lookahead.take()) {
            if (status.ok()) status = convert(held.text, held.tooLarge);
        }
        return status;
    };
    if (progress) progress(0, uids.size());
    Status status = mailbox.fetch(uids, [&](const ImapMailbox::Message& message) {
        if (progress) progress(++done, uids.size());
        if (message.gone) {
            if (gone != nullptr) gone->push_back(message.uid);
            rows.countGone();
            return Status::Ok();
        }
        if (rows.learned()) return convert(message.text, message.tooLarge);
        if (!lookahead.add({std::string(message.text), message.tooLarge})) return Status::Ok();
        return learnAndConvertHeld();
    });
    if (status.ok() && !rows.learned()) status = learnAndConvertHeld();
    return status;
}

Status readMailbox(const ImapAccount& account, const ImapSearch& search, MessageRows& rows,
                   const RowFn& onRow, SeenMessages* seen, const ProgressFn& progress) {
    std::unique_ptr<ImapMailbox> mailbox;
    Status status = ImapMailbox::open(account, &mailbox);
    std::vector<uint64_t> uids;
    if (status.ok()) status = mailbox->search(search, &uids);
    if (!status.ok()) return status;
    // A UID names one message for as long as the folder keeps its UIDVALIDITY;
    // after a change every message is fetched again and known by its identity.
    auto uidKey = [&](uint64_t uid) {
        return "uid:" + std::to_string(mailbox->uidValidity()) + ":" + std::to_string(uid) + ":" +
               account.url;
    };
    if (seen) {
        size_t all = uids.size();
        std::vector<uint64_t> folder = uids;
        std::erase_if(uids, [&](uint64_t uid) { return seen->has(uidKey(uid)); });
        // The new messages alone would teach the form otherwise than the table's
        // rows were learned: from the folder's first messages.
        if (uids.size() < all && !uids.empty() && !rows.learned())
            status = learnFromFirst(*mailbox, folder, rows);
        if (!status.ok()) return status;
    }
    const ImapAddress& address = mailbox->address();
    std::vector<uint64_t> gone;
    status = convertMailbox(*mailbox, uids, mailboxName(address), rows, onRow, progress, &gone);
    if (status.ok() && seen) {
        for (uint64_t uid : uids) {
            if (std::find(gone.begin(), gone.end(), uid) == gone.end()) seen->add(uidKey(uid));
        }
    }
    return status;
}

Status readMailboxAt(const std::string& url, const MailboxOptions& options,
                     const PasswordSources& sources, MessageRows& rows, const RowFn& onRow,
                     SeenMessages* seen, const ProgressFn& progress) {
    ImapAccount account;
    account.url = url;
    account.caFile = options.caFile;
    if (const char* timeout = std::getenv("TABULON_IMAP_TIMEOUT")) {
        long seconds = std::atol(timeout);
        if (seconds > 0) {
            account.connectSeconds = account.stallSeconds = account.replySeconds = seconds;
        }
    }
    ImapAddress address;
    std::string command;
    Status status = parseImapAddress(url, &address);
    if (status.ok()) status = imapSearchCommand(options.search, 0, 0, &command);
    if (status.ok())
        status = mailboxPassword(address, options.passwordFile, sources, &account.password);
    if (status.ok()) status = readMailbox(account, options.search, rows, onRow, seen, progress);
    wipe(&account.password);
    return status;
}

}  // namespace tabulon
