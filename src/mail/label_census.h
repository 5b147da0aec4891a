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

// A field's label as one message shows it, and whether it had a value there.
struct SeenLabel {
    std::string text;
    bool valued = false;
};

class LabelCensus {
  public:
    static constexpr size_t kMaxLabels = 10000;
    static constexpr size_t kOrderSamples = 2000;

    struct Label {
        std::string text;         // as first seen
        uint64_t messages = 0;    // how many messages have it
        uint64_t valued = 0;      // how many of those give it a value
        double meanPosition = 0;  // average rank among its message's labels
    };

    // One message's labels, in the order they came.
    void add(const std::vector<SeenLabel>& labels);

    uint64_t messages() const { return messages_; }
    // Labels found in at least `minMessages` messages and given a value in one at
    // least (a heading such as "Submitted values are:" never is), in their usual order.
    std::vector<Label> labels(uint64_t minMessages) const;

  private:
    struct Entry {
        std::string text;
        uint64_t messages = 0;
        uint64_t valued = 0;
        double positionSum = 0;
        uint64_t lastMessage = 0;
        size_t id = 0;  // order of first appearance
        uint64_t lastValued = 0;
    };

    std::vector<Label> ordered(std::vector<const Entry*> kept) const;

    std::unordered_map<std::string, Entry> entries_;  // by labelKey()
    size_t nextId_ = 0;
    uint64_t messages_ = 0;
    std::vector<std::vector<uint32_t>> samples_;  // label ids of the first messages, in order
};

}  // namespace tabulon
