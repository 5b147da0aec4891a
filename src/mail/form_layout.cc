#include "mail/form_layout.h"

#include <vector>

#include "mail/charset_text.h"
#include "mail/field_extractor.h"
#include "mail/label_shape.h"

namespace tabulon {

FormLayoutLearner::Seen* FormLayoutLearner::count(Counts* counts, std::string key) {
    auto it = counts->find(key);
    if (it == counts->end()) {
        if (counts->size() >= kMaxLines) return nullptr;
        it = counts->emplace(std::move(key), Seen{}).first;
    }
    Seen& seen = it->second;
    if (seen.lastMessage == messages_) return nullptr;
    seen.lastMessage = messages_;
    ++seen.messages;
    return &seen;
}

void FormLayoutLearner::add(std::string_view body) {
    ++messages_;
    std::vector<std::string_view> lines;
    BodyLines reader(body);
    std::string_view line;
    while (reader.next(&line)) {
        line = trimBlanks(line);
        if (!line.empty()) lines.push_back(line);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        LabelLine label;
        if (colonLabelOf(lines[i], &label, 16) || tableRowOf(lines[i], &label)) {
            count(&labels_, labelKey(label.label));
            continue;
        }
        count(&lines_, std::string(lines[i]));
        if (i + 1 == lines.size() || bareLabelOf(lines[i]).empty()) continue;
        // A title above a table's rows or a run of "Label: value" lines labels no value.
        if (colonLabelOf(lines[i + 1], &label, 16) || tableRowOf(lines[i + 1], &label)) continue;
        if (Seen* seen = count(&bare_, std::string(lines[i]))) {
            std::string_view value = lines[i + 1].substr(0, 64);
            if (seen->below.size() < kBelowSamples) seen->below.emplace_back(value);
            if (seen->messages == 1) {
                seen->firstValue = value;
            } else if (value != seen->firstValue) {
                seen->valueVaries = true;
            }
        }
    }
}

FormLayout FormLayoutLearner::layout() const {
    FormLayout layout;
    layout.messages_ = messages_;
    for (const auto& [key, seen] : labels_) {
        if (seen.messages >= 2) layout.labels_.insert(key);
    }
    // A line above a varying value in a third of the messages is a label; one that
    // recurs unchanged in most (and is no such label) is the form's own text.
    uint64_t third = (messages_ + 2) / 3;
    uint64_t most = messages_ - messages_ * 2 / 5;
    StringSet candidates;
    for (const auto& [line, seen] : bare_) {
        if (seen.messages >= 2 && seen.messages >= third && seen.valueVaries)
            candidates.insert(line);
    }
    // A checkbox answer that many give ("Online booking") recurs above varying
    // lines too; but what stands below it is as often the next question.
    for (const auto& [line, seen] : bare_) {
        if (candidates.find(line) == candidates.end()) continue;
        size_t aboveLabel = 0;
        for (const std::string& below : seen.below)
            aboveLabel += candidates.find(below) != candidates.end();
        if (aboveLabel * 2 < seen.below.size()) layout.bareLabels_.insert(labelKey(line));
    }
    for (const auto& [line, seen] : lines_) {
        if (seen.messages >= 2 && seen.messages >= most && !layout.knowsBareLabel(labelKey(line)))
            layout.boilerplate_.insert(line);
    }
    return layout;
}

}  // namespace tabulon
