#include "mail/mailbox_conversion.h"

#include <algorithm>
#include <string>

#include "mail/form_layout.h"
#include "mail/layout_lookahead.h"
#include "mail/message_decoder.h"

namespace tabulon {
namespace {

// What the first messages of a folder teach, as many as a file's look-ahead takes.
class MailboxLookahead {
  public:
    // Whether it has enough once `message` is learned from.
    bool add(std::string_view message) {
        decoder_.decode(message, &decoded_);
        learner_.add(decoded_.body);
        ++messages_;
        bytes_ += message.size();
        return messages_ >= kLookaheadMessages || bytes_ >= kLookaheadBytes;
    }
    FormLayout layout() const { return learner_.layout(); }

  private:
    FormLayoutLearner learner_;
    MessageDecoder decoder_;
    DecodedMessage decoded_;
    size_t messages_ = 0;
    size_t bytes_ = 0;
};

// Learns the form from the first of `uids`, the folder's messages, as a
// conversion of them all would, without making rows.
Status learnFromFirst(ImapMailbox& mailbox, const std::vector<uint64_t>& uids, MessageRows& rows) {
    MailboxLookahead lookahead;
    bool enough = false;
    std::vector<uint64_t> first(uids.begin(), uids.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                 uids.size(), kLookaheadMessages)));
    Status status = mailbox.fetch(first, [&](uint64_t, std::string_view message) {
        if (!enough) enough = lookahead.add(message);
        return Status::Ok();
    });
    if (status.ok()) rows.learn(lookahead.layout());
    return status;
}

}  // namespace

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
    MailboxLookahead lookahead;
    auto learnAndConvertHeld = [&]() {
        rows.learn(lookahead.layout());
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
        held.emplace_back(message);
        return lookahead.add(message) ? learnAndConvertHeld() : Status::Ok();
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
    status =
        convertMailbox(*mailbox, uids, address.host + "/" + address.folder, rows, onRow, progress);
    if (status.ok() && seen) {
        for (uint64_t uid : uids)
            seen->add(uidKey(uid));
    }
    return status;
}

}  // namespace tabulon
