// What the first messages of a mail file teach about its form: the labels that
// recur (with a colon, or without one on a line above a varying value) and the
// lines that recur unchanged in most messages, a footer or a greeting, which
// belong to no value. A FormReader uses it to tell a label from text.
//
// FormLayoutLearner takes decoded bodies one at a time and keeps at most
// kMaxLines different lines, so its memory is bounded whatever it is given. A
// FormLayout is immutable once made and safe to share between threads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tabulon {

class FormLayout {
  public:
    // With fewer messages than this, a form's labels are told by the shape of
    // each message alone.
    static constexpr uint64_t kEnoughMessages = 3;

    uint64_t messages() const { return messages_; }
    bool fewMessages() const { return messages_ < kEnoughMessages; }
    // Whether a label with this labelKey() recurs as "Label: value" or as a table row.
    bool knowsLabel(const std::string& key) const { return labels_.count(key) != 0; }
    // Whether this line (trimmed) recurs as a label of its own above varying values.
    bool knowsBareLabel(const std::string& key) const { return bareLabels_.count(key) != 0; }
    size_t bareLabelCount() const { return bareLabels_.size(); }
    // Whether this line (trimmed) recurs unchanged in most messages.
    bool isBoilerplate(std::string_view line) const {
        return !boilerplate_.empty() && boilerplate_.count(std::string(line)) != 0;
    }

  private:
    friend class FormLayoutLearner;
    uint64_t messages_ = 0;
    std::unordered_set<std::string> labels_;
    std::unordered_set<std::string> bareLabels_;
    std::unordered_set<std::string> boilerplate_;
};

class FormLayoutLearner {
  public:
    static constexpr size_t kMaxLines = 50000;

    // One message's body, LF line ends.
    void add(std::string_view body);
    uint64_t messages() const { return messages_; }
    FormLayout layout() const;

  private:
    struct Seen {
        uint64_t messages = 0;
        uint64_t lastMessage = 0;
        std::string firstValue;  // bare labels: the line below, the first time
        bool valueVaries = false;
    };
    using Counts = std::unordered_map<std::string, Seen>;
    // Counts `key` once for this message; null when it already was or is not kept.
    Seen* count(Counts* counts, std::string key);

    uint64_t messages_ = 0;
    Counts labels_;
    Counts bare_;
    Counts lines_;
};

}  // namespace tabulon
