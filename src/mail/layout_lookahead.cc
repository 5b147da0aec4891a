#include "mail/layout_lookahead.h"

#include <string>
#include <vector>

#include "mail/mail_folder.h"
#include "mail/message_decoder.h"
#include "platform/file_source.h"

namespace tabulon {

Status lookAhead(MessageSplitter& splitter, FormLayoutLearner* learner) {
    MessageDecoder decoder;
    DecodedMessage decoded;
    std::vector<MessageSplitter::Message> messages;
    size_t bytes = 0;
    Status status = Status::Ok();
    while (messages.size() < kLookaheadMessages && bytes < kLookaheadBytes) {
        MessageSplitter::Message message;
        bool found = false;
        status = splitter.next(&message.text, &found, &message.tooLarge);
        if (!status.ok() || !found) break;
        if (!message.tooLarge) {
            decoder.decode(message.text, &decoded);
            if (decoded.skipped == Skip::kNone) learner->add(decoded.body);
        }
        bytes += message.text.size();
        messages.push_back(std::move(message));
    }
    splitter.giveBack(std::move(messages));
    return status;
}

namespace {

// `columns`, when given: a table of them is no mail to learn from.
FormLayout learn(const std::vector<std::string>& paths, const std::vector<std::string>* columns) {
    FormLayoutLearner learner;
    for (const std::string& path : paths) {
        if (path == "-" || learner.messages() >= kLookaheadMessages) continue;
        std::unique_ptr<FileSource> source;
        if (!FileSource::open(path, &source).ok()) continue;
        if (columns && isTableOf(source->descriptor(), *columns)) continue;
        MessageSplitter splitter(*source);
        if (holdsOneMessage(path)) splitter.keepOneMessage();
        lookAhead(splitter, &learner);
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
