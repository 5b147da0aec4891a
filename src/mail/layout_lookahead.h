// The look at an input's first messages that teaches a FormLayout, before any of
// them becomes a row. The messages read are given back to the splitter, so an
// input that cannot be read twice (standard input) is read once.
#pragma once

#include <string>
#include <vector>

#include "mail/form_layout.h"
#include "mail/message_conversion.h"
#include "mail/message_decoder.h"
#include "mail/message_splitter.h"

namespace tabulon {

// At most this many messages, or this many bytes of them, are looked at.
constexpr size_t kLookaheadMessages = 200;
constexpr size_t kLookaheadBytes = 8 << 20;

// The messages looked at, held until the layout is learned: each teaches
// `learner` unless it is skipped (too large, marked deleted, ...).
class LayoutLookahead {
  public:
    // `learner` must outlive the look-ahead.
    explicit LayoutLookahead(FormLayoutLearner* learner) : learner_(learner) {}
    // Holds `message` and learns from it; true once enough messages are held.
    bool add(MessageSplitter::Message message);
    // The messages held, in the order added; none are held after.
    std::vector<MessageSplitter::Message> take();

  private:
    FormLayoutLearner* learner_;
    MessageDecoder decoder_;
    DecodedMessage decoded_;
    std::vector<MessageSplitter::Message> held_;
    size_t bytes_ = 0;
};

// Adds the bodies of the splitter's next messages to `learner`, then gives them back.
Status lookAhead(MessageSplitter& splitter, FormLayoutLearner* learner);

// Several files (a folder's .eml files, say) are one form's mail: the layout is
// learned from the first messages of all of them, not of the first alone. "-"
// (standard input, which cannot be read twice) and files that cannot be opened
// are passed over; converting them says why. messages() is 0 when none was read.
FormLayout learnFromFiles(const std::vector<std::string>& paths);
// The same for `rows`; when no file gave a message, it learns from its first input.
void learnFromFiles(const std::vector<std::string>& paths, MessageRows& rows);

}  // namespace tabulon
