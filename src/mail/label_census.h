// Counts the labels of the fields that messages hold (as a FormReader finds them),
// how many messages have each and in which order they usually come: a label goes
// before another when, of the messages that have both, more have it first (the
// first kOrderSamples messages are looked at). Feeds the report's "labels the
// template lacks" and the guessed template. Bounded: at most kMaxLabels different
// labels are kept. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tabulon {

class LabelCensus {
  public:
    static constexpr size_t kMaxLabels = 10000;
    static constexpr size_t kOrderSamples = 2000;

    struct Label {
        std::string text;         // as first seen
        uint64_t messages = 0;    // how many messages have it
        double meanPosition = 0;  // average rank among its message's labels
    };

    // One message's labels, in the order they came.
    void add(const std::vector<std::string>& labels);

    uint64_t messages() const { return messages_; }
    // Labels found in at least `minMessages` messages, in their usual order.
    std::vector<Label> labels(uint64_t minMessages) const;

  private:
    struct Entry {
        std::string text;
        uint64_t messages = 0;
        double positionSum = 0;
        uint64_t lastMessage = 0;
        size_t id = 0;  // order of first appearance
    };

    std::vector<Label> ordered(std::vector<const Entry*> kept) const;

    std::unordered_map<std::string, Entry> entries_;  // by labelKey()
    size_t nextId_ = 0;
    uint64_t messages_ = 0;
    std::vector<std::vector<uint32_t>> samples_;  // label ids of the first messages, in order
};

}  // namespace tabulon
