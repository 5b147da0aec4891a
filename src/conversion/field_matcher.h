// Decides which field-list entry an input line belongs to: the last entry in list
// order that the line begins with, comparing ASCII letters without regard to case
// and every other byte exactly. Immutable after construction; safe to share.
//
// Entries of two bytes or more sit in a hash index keyed by the line's first few
// bytes (as many as the shortest such entry has, at most eight), so a line costs
// one look-up and a comparison with the few entries in its bucket however long the
// list is. Each comparison is two masked 8-byte compares, plus a byte loop for
// entries longer than sixteen bytes. Entries of one byte and the empty entry match
// by the line's first byte alone and are kept in a table of their own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "templates/field_list.h"

namespace tabulon {

class FieldMatcher {
  public:
    // How many bytes past a line's end matchPadded() may read.
    static constexpr size_t kReadAhead = 16;

    explicit FieldMatcher(const FieldList& fields);

    // Index of the matching entry, or -1. `prefix` holds the first `size` bytes of
    // the line.
    // REQUIRES: size >= longestEntry(), or `prefix` is the whole line.
    int match(const char* prefix, size_t size) const {
        char head[kReadAhead] = {};
        std::memcpy(head, prefix, size < kReadAhead ? size : kReadAhead);
        return matchWithHead(head, prefix, size);
    }

    // As match(), but faster: reads the line's first 16 bytes whole.
    // REQUIRES: as match(), and prefix[0, size + kReadAhead) is readable.
    int matchPadded(const char* prefix, size_t size) const {
        return matchWithHead(prefix, prefix, size);
    }

    size_t entryLength(int index) const { return lengths_[static_cast<size_t>(index)]; }
    bool isLastEntry(int index) const { return index == lastEntry_; }
    size_t longestEntry() const { return longest_; }

  private:
    // An entry of two bytes or more, laid out for comparing eight bytes at a time:
    // a line's word, with 0x20 set at the entry's letters and masked to the
    // entry's length, equals `key` when the line starts with the entry.
    struct Candidate {
        uint64_t key[2];
        uint64_t fold[2];
        uint64_t mask[2];
        uint32_t length;
        int index;
    };

    static uint64_t load(const char* bytes) {
        uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }

    size_t bucketOf(uint64_t firstWord) const {
        uint64_t key = (firstWord | 0x2020202020202020u) & hashMask_;
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> hashShift_);
    }

    // `head` holds the line's first 16 bytes (what lies past the line's end does
    // not matter); `prefix` and `size` are the line as for match().
    int matchWithHead(const char* head, const char* prefix, size_t size) const {
        if (size == 0) return lastEmptyEntry_;
        int best = shortMatch_[static_cast<unsigned char>(head[0])];
        if (size < hashBytes_) return best;
        uint64_t w0 = load(head);
        uint64_t w1 = load(head + 8);
        size_t bucket = bucketOf(w0);
        const Candidate* c = candidates_.data() + bucketStart_[bucket];
        const Candidate* end = candidates_.data() + bucketStart_[bucket + 1];
        for (; c != end && c->index > best; ++c) {
            if (c->length > size) continue;
            if (((w0 | c->fold[0]) & c->mask[0]) != c->key[0]) continue;
            if (((w1 | c->fold[1]) & c->mask[1]) != c->key[1]) continue;
            if (c->length > kReadAhead && !tailMatches(*c, prefix)) continue;
            return c->index;
        }
        return best;
    }

    bool tailMatches(const Candidate& c, const char* prefix) const {
        const std::string& entry = folded_[static_cast<size_t>(c.index)];
        for (size_t j = kReadAhead; j < entry.size(); ++j) {
            if (asciiLower(prefix[j]) != entry[j]) return false;
        }
        return true;
    }

    std::vector<std::string> folded_;  // entries with ASCII letters in lower case
    std::vector<uint32_t> lengths_;
    size_t longest_ = 0;
    int lastEmptyEntry_ = -1;
    int lastEntry_ = -1;
    // For each first byte: the last entry that the byte alone matches (of one
    // byte, or empty), or -1.
    std::array<int, 256> shortMatch_{};
    // The entries of two bytes or more that could win over an entry of one byte
    // or the empty entry, by bucket; each bucket's entries last entry first.
    size_t hashBytes_ = 2;  // bytes of a line that pick its bucket
    uint64_t hashMask_ = 0;
    unsigned hashShift_ = 63;
    std::vector<uint32_t> bucketStart_;
    std::vector<Candidate> candidates_;
};

}  // namespace tabulon
