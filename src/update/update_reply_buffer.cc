#include "update/update_reply_buffer.h"

#include <algorithm>

#include "update/update_reply.h"

namespace tabulon {

void UpdateReplyBuffer::startCheck() {
    received_ = false;
    decided_ = false;
}

UpdateReplyBuffer::Action UpdateReplyBuffer::add(std::string_view bytes) {
    received_ = received_ || !bytes.empty();
    if (decided_) return Action::kNone;  // the rest of a reply already read
    size_t room = kMaxUpdateReply - std::min(kMaxUpdateReply, text_.size());
    for (char c : bytes) {
        if (room == 0) break;
        if (c != '\n') {
            text_ += c;
            --room;
        }
    }
    if (text_.empty()) return Action::kNone;
    // Decided once the reply says all it will: both keys are in, or no more fits
    // (a reply that runs on and on is not read to its end).
    if (room == 0) return decide(Action::kDecideAndStop);
    if (updateReplyComplete(text_)) return decide(Action::kDecide);
    return Action::kNone;
}

UpdateReplyBuffer::Action UpdateReplyBuffer::closed() {
    if (decided_) return Action::kNone;
    if (!received_) return Action::kUnreachable;
    // The server closed after its reply: all of it is in, whatever it says.
    if (!text_.empty()) return decide(Action::kDecide);
    return Action::kNone;
}

UpdateReplyBuffer::Action UpdateReplyBuffer::decide(Action action) {
    decided_ = true;
    return action;
}

}  // namespace tabulon
