#include "mail/layout_lookahead.h"

#include <string>
#include <utility>
#include <vector>

#include "mail/mail_folder.h"
#include "mail/message_decoder.h"
#include "platform/file_source.h"

namespace tabulon {

bool LayoutLookahead::add(MessageSplitter::Message message) {
    if (!message.tooLarge) {
        decoder_.decode(message.text, &decoded_);
        if (decoded_.skipped == Skip::kNone)
            learner_->add(decoded_.body, decoded_.quotesEarlier && !decoded_.quoted.empty());
    }
    bytes_ += message.text.size();
    held_.push_back(std::move(message));
    return held_.size() >= kLookaheadMessages || bytes_ >= kLookaheadBytes;
}

std::vector<MessageSplitter::Message> LayoutLookahead::take() {
    bytes_ = 0;
    return std::exchange(held_, {});
}

Status lookAhead(MessageSplitter& splitter, FormLayoutLearner* learner) {
    LayoutLookahead lookahead(learner);
    Status status = Status::Ok();
    for (bool full = false; !full;) {
        MessageSplitter::Message message;
        bool found = false;
        status = splitter.next(&message.text, &found, &message.tooLarge);
        if (!status.ok() || !found) break;
        full = lookahead.add(std::move(message));
    }
    splitter.giveBack(lookahead.take());
    return status;
}

namespace {

// `columns`, when given: a table of them is no mail to learn from.
FormLayout learn(const std::vector<std::string>& paths, const std::vector<std::string>* columns) {
    FormLayoutLearner learner;
    for (const std::string& path : paths) {
        if (path == "-" || learner.messages() >= kLookaheadMessages) continue;
        // A file that cannot be opened or read is passed over: converting it
        // fails the same way, and that error names the file and the cause.
        std::unique_ptr<FileSource> source;
        if (!FileSource::open(path, &source).ok()) continue;
        if (columns && isTableOf(source->descriptor(), *columns)) continue;
        MessageSplitter splitter(*source);
        if (holdsOneMessage(path)) splitter.keepOneMessage();
        // The messages read before a read error still teach the layout.
        [[maybe_unused]] Status read = lookAhead(splitter, &learner);
    }
    return learner.layout();
}

}  // namespace

FormLayout learnFromFiles(const std::vector<std::string>& paths) {
    return learn(paths, nullptr);
}

void learnFromFiles(const std::vector<std::string>& paths, MessageRows& rows) {
    std::vector<std::string> columns = rows.columnNames();
    FormLayout layout = learn(paths, &columns);
    if (layout.messages() > 0) rows.learn(std::move(layout));
}

}  // namespace tabulon
