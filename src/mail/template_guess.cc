#include "mail/template_guess.h"

#include "mail/message_decoder.h"
#include "mail/message_splitter.h"

namespace tabulon {

FieldList guessTemplate(const LabelCensus& census) {
    uint64_t most = census.messages() / 2 + 1;
    std::vector<LabelCensus::Label> labels = census.labels(most);
    // Mail without a single "Label:" that most messages share may put its labels,
    // colon-less, on lines of their own above the values.
    if (labels.empty()) labels = census.bareLabels(most);
    FieldList fields;
    for (const LabelCensus::Label& label : labels)
        fields.push_back(label.text);
    return fields;
}

Status countLabels(ByteSource& input, LabelCensus* census) {
    MessageSplitter splitter(input);
    MessageDecoder decoder;
    std::string message;
    DecodedMessage decoded;
    for (;;) {
        bool found = false;
        bool tooLarge = false;
        Status status = splitter.next(&message, &found, &tooLarge);
        if (!status.ok()) return status;
        if (!found) return Status::Ok();
        if (tooLarge) continue;
        decoder.decode(message, &decoded);
        // Messages that give no row (marked deleted, too many parts) teach nothing.
        if (decoded.skipped == Skip::kNone) census->add(decoded.body);
    }
}

std::string fieldNamesText(const FieldList& fields) {
    std::string text;
    for (const std::string& name : fields) {
        text += name;
        text += '\r';
    }
    return text;
}

}  // namespace tabulon
