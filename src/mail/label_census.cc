#include "mail/label_census.h"

#include <algorithm>

#include "mail/charset_text.h"
#include "mail/field_extractor.h"
#include "platform/text.h"

namespace tabulon {
namespace {

constexpr size_t kMaxOrdered = 512;

bool isLabelByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c >= 0x80 || c == ' ' || c == '-' || c == '_' || c == '.' || c == '\'' || c == '(' ||
           c == ')' || c == '/' || c == '&' || c == '?' || c == '#';
}

// An ASCII letter or the first byte of a UTF-8 sequence.
bool beginsWithLetter(std::string_view line) {
    unsigned char first = static_cast<unsigned char>(line[0]);
    return (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') || first >= 0x80;
}

}  // namespace

std::string_view labelOf(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon > 40) return {};
    if (colon + 1 < line.size() && line[colon + 1] != ' ' && line[colon + 1] != '\t') return {};
    if (!beginsWithLetter(line) || line[colon - 1] == ' ') return {};
    int words = 1;
    for (size_t i = 0; i < colon; ++i) {
        if (!isLabelByte(static_cast<unsigned char>(line[i]))) return {};
        if (line[i] == ' ') {
            if (line[i - 1] == ' ') return {};
            ++words;
        }
    }
    if (words > 4) return {};
    return line.substr(0, colon + 1);
}

std::string_view bareLabelOf(std::string_view line) {
    if (line.empty() || line.size() > 40 || line.back() == '.' || line.back() == ' ') return {};
    if (!beginsWithLetter(line)) return {};
    int words = 1;
    for (size_t i = 0; i < line.size(); ++i) {
        if (!isLabelByte(static_cast<unsigned char>(line[i]))) return {};
        if (line[i] == ' ') {
            if (line[i - 1] == ' ') return {};
            ++words;
        }
    }
    return words > 4 ? std::string_view() : line;
}

LabelCensus::Entry* LabelCensus::count(Entries* entries, std::string_view label, size_t* rank,
                                       std::vector<uint32_t>* sample) {
    std::string key(label);
    for (char& c : key)
        c = asciiLower(c);
    auto it = entries->find(key);
    if (it == entries->end()) {
        if (entries->size() >= kMaxLabels) return nullptr;
        it = entries->emplace(key, Entry{std::string(label), 0, 0, 0, nextId_++, {}, false}).first;
    }
    Entry& entry = it->second;
    if (entry.lastMessage == messages_) return nullptr;  // counted once per message
    entry.lastMessage = messages_;
    ++entry.messages;
    entry.positionSum += static_cast<double>((*rank)++);
    if (sample != nullptr) sample->push_back(static_cast<uint32_t>(entry.id));
    return &entry;
}

void LabelCensus::add(std::string_view body) {
    ++messages_;
    std::vector<uint32_t>* sample = nullptr;
    if (samples_.size() < kOrderSamples) sample = &samples_.emplace_back();
    size_t rank = 0;
    BodyLines lines(body);
    std::string_view line;
    std::string_view bare;  // the line before, when it may be a label without a colon
    while (lines.next(&line)) {
        if (!bare.empty() && !trimBlanks(line).empty()) {
            if (Entry* entry = count(&bare_, bare, &rank, sample)) {
                std::string_view value = line.substr(0, 64);
                if (entry->messages == 1) {
                    entry->firstValue = value;
                } else if (value != entry->firstValue) {
                    entry->valueVaries = true;
                }
            }
        }
        std::string_view label = labelOf(line);
        bare = label.empty() ? bareLabelOf(line) : std::string_view();
        if (!label.empty()) count(&entries_, label, &rank, sample);
    }
}

std::vector<LabelCensus::Label> LabelCensus::labels(uint64_t minMessages) const {
    std::vector<const Entry*> kept;
    for (const auto& [key, entry] : entries_) {
        if (entry.messages >= minMessages && entry.messages > 0) kept.push_back(&entry);
    }
    return ordered(std::move(kept));
}

std::vector<LabelCensus::Label> LabelCensus::bareLabels(uint64_t minMessages) const {
    std::vector<const Entry*> kept;
    for (const auto& [key, entry] : bare_) {
        if (entry.messages >= minMessages && entry.messages > 0 && entry.valueVaries)
            kept.push_back(&entry);
    }
    return ordered(std::move(kept));
}

std::vector<LabelCensus::Label> LabelCensus::ordered(std::vector<const Entry*> kept) const {
    // before[i][j]: sampled messages in which kept label i comes before kept label j.
    // At most kMaxOrdered labels are kept, the most frequent: no real form has more.
    if (kept.size() > kMaxOrdered) {
        std::partial_sort(kept.begin(), kept.begin() + kMaxOrdered, kept.end(),
                          [](const Entry* a, const Entry* b) { return a->messages > b->messages; });
        kept.resize(kMaxOrdered);
    }
    std::unordered_map<size_t, size_t> slot;  // label id -> index in `kept`
    for (size_t i = 0; i < kept.size(); ++i)
        slot[kept[i]->id] = i;
    std::vector<std::vector<uint32_t>> before(kept.size(), std::vector<uint32_t>(kept.size(), 0));
    for (const std::vector<uint32_t>& sample : samples_) {
        std::vector<size_t> order;
        for (uint32_t id : sample) {
            auto it = slot.find(id);
            if (it != slot.end()) order.push_back(it->second);
        }
        for (size_t a = 0; a < order.size(); ++a) {
            for (size_t b = a + 1; b < order.size(); ++b)
                ++before[order[a]][order[b]];
        }
    }
    std::vector<size_t> wins(kept.size(), 0);
    for (size_t i = 0; i < kept.size(); ++i) {
        for (size_t j = 0; j < kept.size(); ++j) {
            if (before[i][j] > before[j][i]) ++wins[i];
        }
    }
    auto mean = [](const Entry* e) { return e->positionSum / static_cast<double>(e->messages); };
    std::vector<size_t> order(kept.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (wins[a] != wins[b]) return wins[a] > wins[b];
        if (mean(kept[a]) != mean(kept[b])) return mean(kept[a]) < mean(kept[b]);
        return kept[a]->id < kept[b]->id;
    });
    std::vector<Label> result;
    for (size_t i : order)
        result.push_back({kept[i]->text, kept[i]->messages, mean(kept[i])});
    return result;
}

}  // namespace tabulon
