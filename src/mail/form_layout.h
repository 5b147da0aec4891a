// What the first messages of a mail file teach about its form: the labels that
// recur (with a colon, or without one on a line above a varying value) and the
// lines that recur in most messages, unchanged or in the same shape with another
// date, number or link: a footer or per-message metadata when they follow the
// form's last field. A FormReader uses it to tell a label from text.
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
#include <vector>

namespace tabulon {

// A set of strings looked up by string_view, without a copy.
struct StringViewHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
using StringSet = std::unordered_set<std::string, StringViewHash, std::equal_to<>>;

class FormLayout {
  public:
    // With fewer messages than this, a form's labels are told by the shape of
    // each message alone.
    static constexpr uint64_t kEnoughMessages = 3;

    uint64_t messages() const { return messages_; }
    // Whether every message looked at is a reply that quotes the mail it answers
    // (a folder of replies, the form mails themselves not in it).
    bool onlyReplies() const { return messages_ > 0 && replies_ == messages_; }
    bool fewMessages() const { return messages_ < kEnoughMessages; }
    // Whether a label with this labelKey() recurs as "Label: value" or as a table row.
    bool knowsLabel(std::string_view key) const { return labels_.find(key) != labels_.end(); }
    // Whether this line (trimmed) recurs as a label of its own above varying values.
    bool knowsBareLabel(std::string_view key) const {
        return bareLabels_.find(key) != bareLabels_.end();
    }
    size_t bareLabelCount() const { return bareLabels_.size(); }
    // Whether such a label stands in nine messages of ten, as a form's own
    // questions do (an answer that many give stands in fewer).
    bool knowsCommonBareLabel(std::string_view key) const {
        return commonBareLabels_.find(key) != commonBareLabels_.end();
    }
    // Whether this line (trimmed) recurs in most messages, unchanged or (unless it
    // ends a sentence) in shape.
    bool isBoilerplate(std::string_view line) const;
    // Whether this line (trimmed) recurs in most messages unchanged.
    bool recursUnchanged(std::string_view line) const {
        return !boilerplate_.empty() && boilerplate_.find(line) != boilerplate_.end();
    }
    // Whether this line recurs in most messages in shape (another date, number
    // or link), unless it ends a sentence.
    bool recursInShape(std::string_view line) const;
    // Whether this line recurs in most messages unchanged below varying lines: the
    // title of a part of the form ("Your details"), no one's answer.
    bool isSectionTitle(std::string_view line) const {
        return !titles_.empty() && titles_.find(line) != titles_.end();
    }
    // Whether this line recurs in most messages in shape, a sentence or not.
    bool sharesShape(std::string_view line) const;
    // Whether this line, shaped as a mark of no answer (isMarkShaped), stands in
    // two messages or more.
    bool recursAsMark(std::string_view line) const {
        return !marks_.empty() && marks_.find(line) != marks_.end();
    }

  private:
    friend class FormLayoutLearner;
    uint64_t messages_ = 0;
    uint64_t replies_ = 0;
    StringSet labels_;
    StringSet bareLabels_;
    StringSet commonBareLabels_;
    StringSet boilerplate_;
    StringSet shapes_;
    StringSet titles_;
    StringSet marks_;
};

// A line with its words that hold a digit (dates, numbers, IDs), its links and
// its addresses made alike, so that "Submitted 17 Dec 2026 09:10 · ID f3k9" and
// "Submitted 3 Dec 2026 18:02 · ID a7q2" have one shape; empty when too little
// of the line is left to tell it by (a bare number or date).
std::string lineShape(std::string_view line);

class FormLayoutLearner {
  public:
    static constexpr size_t kMaxLines = 50000;
    static constexpr size_t kBelowSamples = 8;

    // One message's body, LF line ends; of a reply, the text it quotes.
    void add(std::string_view body, bool reply = false);
    uint64_t messages() const { return messages_; }
    FormLayout layout() const;

  private:
    struct Seen {
        uint64_t messages = 0;
        uint64_t lastMessage = 0;
        std::string firstValue;  // bare labels: the line below, the first time;
                                 // other lines: the line above
        bool valueVaries = false;
        std::vector<std::string> below;  // bare labels: the line below, the first few times
    };
    using Counts = std::unordered_map<std::string, Seen>;
    // Counts `key` once for this message; null when it already was or is not kept.
    Seen* count(Counts* counts, std::string key);

    uint64_t messages_ = 0;
    uint64_t replies_ = 0;
    Counts labels_;
    Counts bare_;
    Counts lines_;
    Counts shapes_;
    Counts marks_;
};

}  // namespace tabulon
