// Counts the labels that message bodies use ("Label: value" lines, "Label:" alone
// above its value, and apart from those, lines that may be labels without a colon),
// how many messages have each and in which order they
// usually come: a label goes before another when, of the messages that have
// both, more have it first (the first kOrderSamples messages are looked at). Feeds the report's
// "labels the template lacks" and the guessed template. Bounded: at most kMaxLabels different
// labels are kept. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tabulon {

// The label a line opens, colon included ("Name:"), or empty when it opens none:
// up to 40 bytes of words (letters, digits, a few signs) before a colon that ends
// the line or is followed by a blank.
std::string_view labelOf(std::string_view line);

// The line itself when it could be a label without a colon standing above its
// value ("Name", "Comment or Message"), as some form plugins lay out their mail:
// up to four words in 40 bytes, not ending in a full stop. Else empty.
std::string_view bareLabelOf(std::string_view line);

class LabelCensus {
  public:
    static constexpr size_t kMaxLabels = 10000;
    static constexpr size_t kOrderSamples = 2000;

    struct Label {
        std::string text;         // as first seen
        uint64_t messages = 0;    // how many messages have it
        double meanPosition = 0;  // average rank among its message's labels
    };

    // One message's body, LF line ends.
    void add(std::string_view body);

    uint64_t messages() const { return messages_; }
    // Labels found in at least `minMessages` messages, in their usual order.
    std::vector<Label> labels(uint64_t minMessages) const;
    // The same for labels without a colon: lines (see bareLabelOf()) found in at
    // least `minMessages` messages right above a line, which differs between them.
    std::vector<Label> bareLabels(uint64_t minMessages) const;

  private:
    struct Entry {
        std::string text;
        uint64_t messages = 0;
        double positionSum = 0;
        uint64_t lastMessage = 0;
        size_t id = 0;           // order of first appearance
        std::string firstValue;  // bare labels: the line below, the first time
        bool valueVaries = false;
    };
    using Entries = std::unordered_map<std::string, Entry>;  // by label, ASCII lower case

    // Counts `label` once for this message; null when it already was, or when no
    // more labels are kept.
    Entry* count(Entries* entries, std::string_view label, size_t* rank,
                 std::vector<uint32_t>* sample);
    std::vector<Label> ordered(std::vector<const Entry*> kept) const;

    Entries entries_;
    Entries bare_;
    size_t nextId_ = 0;
    uint64_t messages_ = 0;
    std::vector<std::vector<uint32_t>> samples_;  // label ids of the first messages, in order
};

}  // namespace tabulon
