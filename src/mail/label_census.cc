#include "mail/label_census.h"

#include <algorithm>

#include "mail/label_shape.h"

namespace tabulon {
namespace {

constexpr size_t kMaxOrdered = 512;

}  // namespace

void LabelCensus::add(const std::vector<SeenLabel>& labels) {
    ++messages_;
    std::vector<uint32_t>* sample = nullptr;
    if (samples_.size() < kOrderSamples) sample = &samples_.emplace_back();
    size_t rank = 0;
    for (const SeenLabel& label : labels) {
        std::string key = labelKey(label.text);
        auto it = entries_.find(key);
        if (it == entries_.end()) {
            if (entries_.size() >= kMaxLabels) continue;
            it = entries_.emplace(std::move(key), Entry{label.text, 0, 0, 0, 0, nextId_++}).first;
        }
        Entry& entry = it->second;
        if (label.valued && entry.lastValued != messages_) {
            entry.lastValued = messages_;
            ++entry.valued;
        }
        if (entry.lastMessage == messages_) continue;  // counted once per message
        entry.lastMessage = messages_;
        ++entry.messages;
        entry.positionSum += static_cast<double>(rank++);
        if (sample != nullptr) sample->push_back(static_cast<uint32_t>(entry.id));
    }
}

std::vector<LabelCensus::Label> LabelCensus::labels(uint64_t minMessages) const {
    std::vector<const Entry*> kept;
    for (const auto& [key, entry] : entries_) {
        if (entry.messages >= minMessages && entry.valued > 0) kept.push_back(&entry);
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
        result.push_back({kept[i]->text, kept[i]->messages, kept[i]->valued, mean(kept[i])});
    return result;
}

}  // namespace tabulon
