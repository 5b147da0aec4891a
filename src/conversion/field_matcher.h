// Decides which field-list entry an input line belongs to: the last entry in list
// order that the line begins with, comparing ASCII letters without regard to case
// and every other byte exactly. Immutable after construction; safe to share.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"
#include "templates/field_list.h"

namespace tabulon {

class FieldMatcher {
  public:
    explicit FieldMatcher(const FieldList& fields);

    // Index of the matching entry, or -1. `prefix` holds the first `size` bytes of
    // the line.
    // REQUIRES: size >= longestEntry(), or `prefix` is the whole line.
    int match(const char* prefix, size_t size) const {
        if (size == 0) return lastEmptyEntry_;
        auto first = static_cast<unsigned char>(asciiLower(prefix[0]));
        for (uint32_t c = candidateStart_[first]; c < candidateStart_[first + 1]; ++c) {
            int index = candidates_[c];
            if (entryMatches(index, prefix, size)) return index;
        }
        return -1;
    }

    size_t entryLength(int index) const { return folded_[static_cast<size_t>(index)].size(); }
    bool isLastEntry(int index) const { return static_cast<size_t>(index) + 1 == folded_.size(); }
    size_t longestEntry() const { return longest_; }

  private:
    bool entryMatches(int index, const char* prefix, size_t size) const {
        const std::string& entry = folded_[static_cast<size_t>(index)];
        if (entry.size() > size) return false;
        for (size_t j = 1; j < entry.size(); ++j) {
            if (asciiLower(prefix[j]) != entry[j]) return false;
        }
        return true;
    }

    std::vector<std::string> folded_;  // entries with ASCII letters in lower case
    size_t longest_ = 0;
    // For each first byte b (lower-cased), candidates_[candidateStart_[b] ..
    // candidateStart_[b + 1]) are the entries that could match a line starting
    // with it, last entry first; the last empty entry ends every list.
    std::array<uint32_t, 257> candidateStart_{};
    std::vector<int> candidates_;
    int lastEmptyEntry_ = -1;
};

}  // namespace tabulon
