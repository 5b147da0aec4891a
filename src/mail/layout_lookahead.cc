#include "mail/layout_lookahead.h"

#include <string>
#include <vector>

#include "mail/message_decoder.h"

namespace tabulon {

Status lookAhead(MessageSplitter& splitter, FormLayoutLearner* learner) {
    MessageDecoder decoder;
    DecodedMessage decoded;
    std::vector<std::string> messages;
    size_t bytes = 0;
    Status status = Status::Ok();
    while (messages.size() < kLookaheadMessages && bytes < kLookaheadBytes) {
        std::string message;
        bool found = false;
        status = splitter.next(&message, &found);
        if (!status.ok() || !found) break;
        decoder.decode(message, &decoded);
        learner->add(decoded.body);
        bytes += message.size();
        messages.push_back(std::move(message));
    }
    splitter.giveBack(std::move(messages));
    return status;
}

}  // namespace tabulon
