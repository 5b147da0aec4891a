#include "mail/form_layout.h"

#include <algorithm>
#include <vector>

#include "mail/form_lines.h"
#include "mail/label_shape.h"

namespace tabulon {
namespace {

bool isWordByte(char c) {
    return c != ' ' && c != '\t' && c != '<' && c != '>' && c != '(' && c != ')' && c != '"';
}

bool holdsDigit(std::string_view word) {
    for (size_t i = 0; i < word.size(); ++i) {
        if (digitLength(word, i) > 0) return true;
    }
    return false;
}

// The word that begins at or after `from`; empty at the line's end.
std::string_view wordFrom(std::string_view line, size_t from) {
    while (from < line.size() && !isWordByte(line[from]))
        ++from;
    size_t end = from;
    while (end < line.size() && isWordByte(line[end]))
        ++end;
    return line.substr(std::min(from, line.size()), end - std::min(from, line.size()));
}

}  // namespace

std::string lineShape(std::string_view line) {
    std::string shape;
    size_t letters = 0;
    bool afterNumber = false;  // the word before held a digit
    for (size_t i = 0; i < line.size();) {
        if (!isWordByte(line[i])) {
            shape += line[i++];
            continue;
        }
        size_t end = i;
        while (end < line.size() && isWordByte(line[end]))
            ++end;
        std::string_view word = line.substr(i, end - i);
        i = end;
        bool number = holdsDigit(word);
        // A month's name between a date's numbers ("Dec 01, 2025", "1. Dezember
        // 2025") is one mark too: the stamps of two months have one shape.
        bool month = false;
        if (!number && word.size() <= 12) {
            std::string_view next = wordFrom(line, end);
            // After a number, or before a day's one or two digits and a number.
            bool day = !next.empty() && next.size() <= 3 && next[0] >= '0' && next[0] <= '9';
            month =
                !next.empty() && holdsDigit(next) &&
                (afterNumber ||
                 (day && holdsDigit(wordFrom(
                             line, static_cast<size_t>(next.data() - line.data()) + next.size()))));
        }
        afterNumber = number;
        // A link, an address, a word holding a digit (a date, a number, an ID)
        // is one mark, whatever it holds.
        if (word.find("://") != word.npos || word.starts_with("www.") ||
            (word.find('@') != word.npos && word.find('.') != word.npos)) {
            shape += '@';
        } else if (number || month) {
            shape += '0';
        } else {
            shape += word;
            for (char c : word)
                letters += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           static_cast<unsigned char>(c) >= 0x80;
        }
    }
    return letters >= 4 ? shape : std::string();
}

bool FormLayout::isBoilerplate(std::string_view line) const {
    return recursUnchanged(line) || recursInShape(line);
}

bool FormLayout::recursInShape(std::string_view line) const {
    // A sentence someone wrote may share its shape with the others' ("I need 2
    // chairs."); a stamp or a note of the sending tool ends with no full stop.
    if (line.ends_with('.') || line.ends_with('!') || line.ends_with('?')) return false;
    return sharesShape(line);
}

bool FormLayout::sharesShape(std::string_view line) const {
    if (shapes_.empty()) return false;
    std::string shape = lineShape(line);
    return !shape.empty() && shapes_.find(shape) != shapes_.end();
}

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

void FormLayoutLearner::add(std::string_view body, bool reply) {
    ++messages_;
    replies_ += reply;
    thread_local std::vector<FormLine> all;
    thread_local std::string storage;
    readFormLines(body, &all, &storage);
    std::vector<std::string_view> lines;
    std::vector<std::string_view> dashed;  // the mail's own text of lines a dash parts
    for (const FormLine& line : all) {
        if (line.text.empty()) continue;
        if (isMarkShaped(line.text)) count(&marks_, std::string(line.text));
        lines.push_back(line.view);
        dashed.push_back(line.dashed ? line.text : std::string_view());
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        LabelLine label;
        LabelKind kind = labelOf(lines[i], &label);
        if (kind == LabelKind::kColon || kind == LabelKind::kTableRow) {
            count(&labels_, labelKey(label.label));
            // A dash may part a footer's words too ("Received 8.3.2024 - ID 55120"):
            // its text recurs as any line does.
            if (!dashed[i].empty()) {
                count(&lines_, std::string(dashed[i]));
                if (std::string shape = lineShape(dashed[i]); !shape.empty())
                    count(&shapes_, shape);
            }
            continue;
        }
        if (Seen* seen = count(&lines_, std::string(lines[i])); seen != nullptr && i > 0) {
            std::string_view above = lines[i - 1].substr(0, 64);
            if (seen->messages == 1) {
                seen->firstValue = above;
            } else if (above != seen->firstValue) {
                seen->valueVaries = true;
            }
        }
        if (std::string shape = lineShape(lines[i]); !shape.empty()) count(&shapes_, shape);
        if (i + 1 == lines.size() || kind != LabelKind::kBare) continue;
        // A title above a table's rows or a run of "Label: value" lines labels no value.
        LabelKind below = labelOf(lines[i + 1], &label);
        if (below == LabelKind::kColon || below == LabelKind::kTableRow) continue;
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
    layout.replies_ = replies_;
    for (const auto& [key, seen] : labels_) {
        if (seen.messages >= 2) layout.labels_.insert(key);
    }
    // A line above a varying value in a third of the messages is a label; one that
    // recurs in most (and is no such label) is the form's own text.
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
        if (aboveLabel * 2 < seen.below.size()) {
            layout.bareLabels_.insert(labelKey(line));
            if (seen.messages >= messages_ - messages_ / 10)
                layout.commonBareLabels_.insert(labelKey(line));
        }
    }
    for (const auto& [line, seen] : lines_) {
        if (seen.messages >= 2 && seen.messages >= most && !layout.knowsBareLabel(labelKey(line))) {
            layout.boilerplate_.insert(line);
            // A title has words: a number or a word of a few letters that
            // recurs ("3", "Ja") is an answer many give. The form's titles stand
            // in nearly every message; a choice many tick ("Repairs") in most.
            if (seen.valueVaries && (line.size() > 4 || line.find(' ') != std::string::npos) &&
                seen.messages >= messages_ - messages_ / 10)
                layout.titles_.insert(line);
        }
    }
    for (const auto& [shape, seen] : shapes_) {
        if (seen.messages >= 2 && seen.messages >= most) layout.shapes_.insert(shape);
    }
    for (const auto& [mark, seen] : marks_) {
        if (seen.messages >= 2) layout.marks_.insert(mark);
    }
    return layout;
}

}  // namespace tabulon
