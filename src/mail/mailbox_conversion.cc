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
        rows.rowOf(message, name, &cells);
        Status status = onRow(cells);
        if (progress) progress(++done, uids.size());
        return status;
    };
    size_t next = 0;
    if (!rows.learned()) {
        std::vector<uint64_t> first;
        std::vector<std::string> held;
        size_t bytes = 0;
        FormLayoutLearner learner;
        MessageDecoder decoder;
        DecodedMessage decoded;
        // One at a time, until the look-ahead has enough.
        for (; next < uids.size() && held.size() < kLookaheadMessages && bytes < kLookaheadBytes;
             ++next) {
            Status status = mailbox.fetch({uids[next]}, [&](uint64_t, std::string_view message) {
                decoder.decode(message, &decoded);
                learner.add(decoded.body);
                bytes += message.size();
                held.emplace_back(message);
                return Status::Ok();
            });
            if (!status.ok()) return status;
        }
        rows.learn(learner.layout());
        for (std::string& message : held) {
            Status status = convert(message);
            if (!status.ok()) return status;
            std::string().swap(message);
        }
    }
    std::vector<uint64_t> rest(uids.begin() + static_cast<std::ptrdiff_t>(next), uids.end());
    return mailbox.fetch(rest,
                         [&](uint64_t, std::string_view message) { return convert(message); });
}

}  // namespace tabulon
