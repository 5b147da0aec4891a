// The look at an input's first messages that teaches a FormLayout, before any of
// them becomes a row. The messages read are given back to the splitter, so an
// input that cannot be read twice (standard input) is read once.
#pragma once

#include "mail/form_layout.h"
#include "mail/message_splitter.h"

namespace tabulon {

// At most this many messages, or this many bytes of them, are looked at.
constexpr size_t kLookaheadMessages = 200;
constexpr size_t kLookaheadBytes = 8 << 20;

// Adds the bodies of the splitter's next messages to `learner`, then gives them back.
Status lookAhead(MessageSplitter& splitter, FormLayoutLearner* learner);

}  // namespace tabulon
