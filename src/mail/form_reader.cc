#include "mail/form_reader.h"

#include <algorithm>
#include <utility>

#include "mail/charset_text.h"
#include "mail/field_extractor.h"
#include "mail/label_shape.h"

namespace tabulon {
namespace {

// At most this many words make a "Label: value" line a label on its structure
// alone; longer ones must be known, or be questions.
constexpr int kShortLabelWords = 6;

bool mayBeBareLabel(std::string_view line) {
    return !bareLabelOf(line).empty() && !isFooterLine(line) && !isRuleLine(line);
}

// Where a message's labels have no colon and its file gives too few messages to
// learn them, the message's own shape tells them: blocks (runs of lines between
// blank lines) that each begin with a short line, the label above its value,
// or a short block followed by its answer in the next block; failing that, one
// block whose every other line is short, label and value in turn.
std::vector<bool> bareLabelsByShape(const std::vector<std::string_view>& lines) {
    std::vector<std::pair<size_t, size_t>> blocks;
    for (size_t i = 0; i < lines.size();) {
        if (lines[i].empty()) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < lines.size() && !lines[end].empty())
            ++end;
        blocks.emplace_back(i, end);
        i = end;
    }
    std::vector<bool> labels(lines.size(), false);
    size_t led = 0;
    for (size_t b = 0; b < blocks.size(); ++b) {
        auto [start, end] = blocks[b];
        if (!mayBeBareLabel(lines[start])) continue;
        if (end - start >= 2) {
            labels[start] = true;
            ++led;
        } else if (b + 1 < blocks.size()) {
            labels[start] = true;
            ++led;
            ++b;  // the answer
        }
    }
    if (led >= 2) return labels;
    labels.assign(lines.size(), false);
    for (auto [start, end] : blocks) {
        if (end - start < 4 || (end - start) % 2 != 0) continue;
        bool alternates = true;
        for (size_t i = start; i < end && alternates; i += 2)
            alternates = mayBeBareLabel(lines[i]);
        for (size_t i = start; i < end && alternates; i += 2)
            labels[i] = true;
    }
    return labels;
}

// Whether a value goes on past a blank line: free text does, its last line
// ending a sentence or a greeting, or long; a name, a list or an address does not.
bool continuesPastBlank(const std::string& value) {
    if (value.empty()) return false;
    char last = value.back();
    if (last == '.' || last == '!' || last == '?' || last == ',' || last == ';' || last == ':')
        return true;
    // The full stop, comma, exclamation and question marks of Chinese and Japanese.
    for (std::string_view mark : {"\xE3\x80\x82", "\xE3\x80\x81", "\xEF\xBC\x81", "\xEF\xBC\x9F"}) {
        if (std::string_view(value).ends_with(mark)) return true;
    }
    int words = 1;
    for (size_t i = value.rfind('\n') + 1; i < value.size(); ++i)
        words += value[i] == ' ';
    return words >= 6;
}

}  // namespace

FormReader::FormReader(const FieldList& fields, const FormLayout& layout)
    : matcher_(fields), layout_(layout) {
    for (size_t i = 0; i < fields.size(); ++i) {
        keys_.push_back(labelKey(fields[i]));
        entryKeys_[keys_.back()] = static_cast<int>(i);
    }
}

int FormReader::entryOf(std::string_view line, std::string_view label, std::string_view key) const {
    int index = matcher_.match(line.data(), line.size());
    if (index >= 0 && matcher_.entryLength(index) <= label.size()) return index;
    auto found = entryKeys_.find(key);
    return found == entryKeys_.end() ? -1 : found->second;
}

void FormReader::read(std::string_view body, FormText* out) const {
    out->fields.clear();
    out->unplacedLines = 0;
    // Kept for the thread's next body.
    thread_local std::vector<std::string_view> lines;
    thread_local std::vector<bool> emptyCells;  // table rows with an empty value cell: "Label<Tab>"
    lines.clear();
    emptyCells.clear();
    BodyLines reader(body);
    std::string_view raw;
    size_t colonLines = 0;  // lines whose structure makes them labels
    while (reader.next(&raw)) {
        std::string_view line = trimBlanks(raw);
        bool emptyCell = !line.empty() && raw.ends_with('\t') && line.find('\t') == line.npos;
        LabelLine label;
        if (layout_.fewMessages() && (emptyCell || colonLabelOf(line, &label, kShortLabelWords) ||
                                      tableRowOf(line, &label) || !headingLabelOf(line).empty()))
            ++colonLines;
        lines.push_back(line);
        emptyCells.push_back(emptyCell);
    }
    thread_local std::vector<bool> shaped;
    shaped.assign(lines.size(), false);
    if (colonLines < 2 && layout_.fewMessages() && layout_.bareLabelCount() < 2)
        shaped = bareLabelsByShape(lines);

    int current = -1;          // the field whose value the next lines continue
    bool paragraph = true;     // the line opens a paragraph
    bool afterLabel = false;   // the line before opened a field
    bool blankInside = false;  // blank lines since the current value's last line
    bool skipping = false;     // inside a footer's paragraph
    std::string key;           // the labelKey() of the line's label
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty()) {
            paragraph = true;
            afterLabel = false;
            skipping = false;
            blankInside = current >= 0;
            continue;
        }
        bool opens = std::exchange(paragraph, false);
        FormField* field = current >= 0 ? &out->fields[static_cast<size_t>(current)] : nullptr;
        bool waiting = field != nullptr && field->value.empty();
        if (skipping) continue;
        if (isRuleLine(line)) {
            current = -1;
            paragraph = true;
            continue;
        }

        LabelLine label;
        int entry = -1;
        bool isLabel = false;
        bool vouched = false;  // the template or the file's other messages say it is a label
        if (std::string_view heading = headingLabelOf(line); !heading.empty()) {
            label = {heading, {}};
            labelKey(heading, &key);
            entry = entryOf(heading, heading, key);
            isLabel = vouched = true;
        } else if (colonLabelOf(line, &label, 16)) {
            labelKey(label.label, &key);
            entry = entryOf(line, label.label, key);
            // A label nothing else vouches for opens a field where it starts a
            // paragraph or where its value is no sentence, unless it follows free
            // text over a blank line ("Note: ..." in a message's paragraphs).
            LabelLine shortForm;
            bool inFreeText =
                field != nullptr && blankInside && !waiting && continuesPastBlank(field->value);
            vouched = entry >= 0 || layout_.knowsLabel(key);
            isLabel = vouched || (colonLabelOf(line, &shortForm, kShortLabelWords) && !inFreeText &&
                                  (opens || !isSentence(label.value)));
        } else if (emptyCells[i] || tableRowOf(line, &label)) {
            if (emptyCells[i]) label = {line, {}};
            labelKey(label.label, &key);
            entry = entryOf(line, label.label, key);
            isLabel = true;
        } else if (int index = matcher_.match(line.data(), line.size()); index >= 0) {
            label.label = line.substr(0, matcher_.entryLength(index));
            labelKey(label.label, &key);
            label.value = trimBlanks(line.substr(label.label.size()));
            entry = index;
            isLabel = vouched = true;
        } else if (!bareLabelOf(line).empty()) {
            label = {line, {}};
            labelKey(line, &key);
            entry = entryOf(line, line, key);
            vouched = entry >= 0 || layout_.knowsBareLabel(key);
            isLabel = vouched || shaped[i];
        }
        if (!vouched && (opens || afterLabel) && isFooterLine(line)) {
            current = -1;
            skipping = true;
            continue;
        }
        if (isLabel) {
            // An entry that is only the beginning of the label takes what follows
            // it on the line, as in the line conversion.
            std::string_view value = label.value;
            if (entry >= 0 && keys_[static_cast<size_t>(entry)] != key &&
                matcher_.match(line.data(), line.size()) == entry)
                value = trimBlanks(line.substr(matcher_.entryLength(entry)));
            out->fields.push_back({tidyLabel(label.label), std::string(value), entry});
            current = static_cast<int>(out->fields.size()) - 1;
            blankInside = false;
            afterLabel = true;
            continue;
        }
        afterLabel = false;
        // A short line that recurs may still be an answer that many give ("Yes").
        if ((!waiting || std::count(line.begin(), line.end(), ' ') >= 4) &&
            layout_.isBoilerplate(line)) {
            current = -1;
            continue;
        }
        if (field != nullptr && blankInside && !waiting && !continuesPastBlank(field->value))
            field = nullptr;
        if (field == nullptr) {
            current = -1;
            if (!out->fields.empty()) ++out->unplacedLines;
            continue;
        }
        if (!field->value.empty()) field->value += blankInside ? "\n\n" : "\n";
        field->value.append(line);
        blankInside = false;
    }
}

}  // namespace tabulon
