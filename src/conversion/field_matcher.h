// Decides which field-list entry an input line belongs to: the last entry in list
// order that the line begins with, comparing ASCII letters without regard to case
// and every other byte exactly. Immutable after construction; safe to share.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "templates/field_list.h"

namespace tabulon {

class FieldMatcher {
  public:
    explicit FieldMatcher(const FieldList& fields);

    // Index of the matching entry, or -1. `prefix` holds the first `size` bytes of
    // the line.
    // REQUIRES: size >= longestEntry(), or `prefix` is the whole line.
    int match(const char* prefix, size_t size) const;

    size_t entryLength(int index) const { return folded_[static_cast<size_t>(index)].size(); }
    bool isLastEntry(int index) const { return static_cast<size_t>(index) + 1 == folded_.size(); }
    size_t longestEntry() const { return longest_; }
    size_t entryCount() const { return folded_.size(); }

  private:
    bool entryMatches(int index, const char* prefix, size_t size) const;

    std::vector<std::string> folded_;  // entries with ASCII letters in lower case
    size_t longest_ = 0;
    // For each first byte (lower-cased), the entries that could match a line
    // starting with it, last entry first; empty entries are in every list.
    std::array<std::vector<int>, 256> candidates_;
    int lastEmptyEntry_ = -1;
};

}  // namespace tabulon
