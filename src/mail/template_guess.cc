#include "mail/template_guess.h"

#include "mail/field_extractor.h"
#include "mail/label_shape.h"
#include "mail/layout_lookahead.h"
#include "mail/message_decoder.h"
#include "mail/message_splitter.h"

namespace tabulon {

FieldList guessTemplate(const LabelCensus& census) {
    std::vector<LabelCensus::Label> labels = census.labels((census.messages() + 1) / 2);
    FieldList fields;
    for (const LabelCensus::Label& label : labels) {
        if (isFooterLine(label.text)) continue;  // "Powered by:"
        // A title names the column as the mail shows it, without a full-width colon.
        std::string_view name = label.text;
        if (name.ends_with("\xEF\xBC\x9A")) name.remove_suffix(3);
        fields.emplace_back(name);
    }
    return fields;
}

Status countLabels(ByteSource& input, LabelCensus* census, const FormLayout* layout) {
    MessageSplitter splitter(input);
    FormLayoutLearner learner;
    Status status = Status::Ok();
    if (layout == nullptr) status = lookAhead(splitter, &learner);
    if (!status.ok()) return status;
    FieldExtractor extractor({}, layout != nullptr ? *layout : learner.layout());
    MessageDecoder decoder;
    std::string message;
    DecodedMessage decoded;
    std::vector<std::string> cells;
    std::vector<bool> found;
    ExtractedExtras extras;
    // The order and the share of each label are clear long before the end of a
    // large file.
    for (uint64_t read = 0; read < LabelCensus::kOrderSamples; ++read) {
        bool more = false;
        bool tooLarge = false;
        status = splitter.next(&message, &more, &tooLarge);
        if (!status.ok()) return status;
        if (!more) break;
        if (tooLarge) continue;
        decoder.decode(message, &decoded);
        // Messages that give no row (marked deleted, too many parts) teach nothing.
        if (decoded.skipped != Skip::kNone) continue;
        extractor.extract(decoded.body, &cells, &found, &extras);
        census->add(extras.otherLabels);
    }
    return Status::Ok();
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
