#include "mail/label_census.h"

#include <algorithm>

#include "mail/field_extractor.h"
#include "platform/text.h"

namespace tabulon {
namespace {

bool isLabelByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c >= 0x80 || c == ' ' || c == '-' || c == '_' || c == '.' || c == '\'' || c == '(' ||
           c == ')' || c == '/' || c == '&' || c == '?' || c == '#';
}

}  // namespace

std::string_view labelOf(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon > 40) return {};
    if (colon + 1 < line.size() && line[colon + 1] != ' ' && line[colon + 1] != '\t') return {};
    unsigned char first = static_cast<unsigned char>(line[0]);
    bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') || first >= 0x80;
    if (!letter || line[colon - 1] == ' ') return {};
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

void LabelCensus::add(std::string_view body) {
    ++messages_;
    size_t rank = 0;
    size_t pos = 0;
    while (pos < body.size()) {
        size_t end = body.find('\n', pos);
        if (end == std::string_view::npos) end = body.size();
        std::string_view line = body.substr(pos, end - pos);
        pos = end + 1;
        if (isSignatureLine(line)) break;
        std::string_view label = labelOf(line);
        if (label.empty()) continue;
        std::string key(label);
        for (char& c : key)
            c = asciiLower(c);
        auto it = entries_.find(key);
        if (it == entries_.end()) {
            if (entries_.size() >= kMaxLabels) continue;
            it = entries_.emplace(key, Entry{std::string(label), 0, 0, 0, entries_.size()}).first;
        }
        Entry& entry = it->second;
        if (entry.lastMessage == messages_) continue;  // counted once per message
        entry.lastMessage = messages_;
        ++entry.messages;
        entry.positionSum += static_cast<double>(rank++);
    }
}

std::vector<LabelCensus::Label> LabelCensus::labels(uint64_t minMessages) const {
    std::vector<const Entry*> kept;
    for (const auto& [key, entry] : entries_) {
        if (entry.messages >= minMessages && entry.messages > 0) kept.push_back(&entry);
    }
    auto mean = [](const Entry* e) { return e->positionSum / static_cast<double>(e->messages); };
    std::sort(kept.begin(), kept.end(), [&](const Entry* a, const Entry* b) {
        if (mean(a) != mean(b)) return mean(a) < mean(b);
        return a->firstSeen < b->firstSeen;
    });
    std::vector<Label> result;
    for (const Entry* entry : kept)
        result.push_back({entry->text, entry->messages, mean(entry)});
    return result;
}

}  // namespace tabulon
