#include "mail/mailbox_conversion.h"

#include <string>

#include "mail/form_layout.h"
#include "mail/layout_lookahead.h"
#include "mail/message_decoder.h"

namespace tabulon {

Status convertMailbox(ImapMailbox& mailbox, const std::vector<uint64_t>& uids,
                      std::string_view name, MessageRows& rows, const RowFn& onRow,
                      const ProgressFn& progress) {
    uint64_t done = 0;
    std::vector<std::string> cells;
    auto convert = [&](std::string_view message) {
        // A message that gives no row (a reply quoting a form mail) is only counted.
        Status status = Status::Ok();
        if (rows.rowOf(message, name, &cells)) {
            status = onRow(cells);
            if (status.ok()) rows.countWritten();
        }
        return status;
    };
    // The look-ahead: messages held, and what they teach, until it has enough.
    std::vector<std::string> held;
    size_t heldBytes = 0;
    FormLayoutLearner learner;
    MessageDecoder decoder;
    DecodedMessage decoded;
    auto learnAndConvertHeld = [&]() {
        rows.learn(learner.layout());
        Status status = Status::Ok();
        for (size_t i = 0; status.ok() && i < held.size(); ++i)
            status = convert(held[i]);
        std::vector<std::string>().swap(held);
        return status;
    };
    if (progress) progress(0, uids.size());
    Status status = mailbox.fetch(uids, [&](uint64_t, std::string_view message) {
        if (progress) progress(++done, uids.size());
        if (rows.learned()) return convert(message);
        decoder.decode(message, &decoded);
        learner.add(decoded.body);
        heldBytes += message.size();
        held.emplace_back(message);
        if (held.size() < kLookaheadMessages && heldBytes < kLookaheadBytes) {
            return Status::Ok();
        }
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
        std::erase_if(uids, [&](uint64_t uid) { return seen->has(uidKey(uid)); });
    }
    const ImapAddress& address = mailbox->address();
    status =
        convertMailbox(*mailbox, uids, address.host + "/" + address.folder, rows, onRow, progress);
    if (status.ok() && seen) {
        for (uint64_t uid : uids)
            seen->add(uidKey(uid));
    }
    return status;
}

}  // namespace tabulon
