#include "conversion/field_matcher.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"

namespace tabulon {
namespace {

bool isAsciiLetter(char c) {
    return asciiLower(c) >= 'a' && asciiLower(c) <= 'z';
}

// The first `count` bytes of `bytes` from `offset` as a word, zeros after them.
uint64_t wordOf(const std::string& bytes, size_t offset, size_t count) {
    char word[8] = {};
    for (size_t i = 0; i < 8 && offset + i < bytes.size() && i < count; ++i)
        word[i] = bytes[offset + i];
    uint64_t value;
    std::memcpy(&value, word, sizeof value);
    return value;
}

}  // namespace

FieldMatcher::FieldMatcher(const FieldList& fields) {
    folded_.reserve(fields.size());
    lengths_.reserve(fields.size());
    for (const std::string& field : fields) {
        std::string folded(field);
        for (char& c : folded)
            c = asciiLower(c);
        longest_ = std::max(longest_, folded.size());
        lengths_.push_back(static_cast<uint32_t>(folded.size()));
        folded_.push_back(std::move(folded));
    }
    const int count = static_cast<int>(folded_.size());
    lastEntry_ = count - 1;
    for (int i = count - 1; i >= 0 && lastEmptyEntry_ < 0; --i) {
        if (folded_[static_cast<size_t>(i)].empty()) lastEmptyEntry_ = i;
    }
    // An empty entry matches every line, so no entry before the last empty one can
    // ever be the last match; likewise an entry of one byte for the lines that
    // start with it.
    shortMatch_.fill(lastEmptyEntry_);
    for (int i = lastEmptyEntry_ + 1; i < count; ++i) {
        const std::string& entry = folded_[static_cast<size_t>(i)];
        if (entry.size() != 1) continue;
        shortMatch_[static_cast<unsigned char>(entry[0])] = i;
        if (isAsciiLetter(entry[0]))
            shortMatch_[static_cast<unsigned char>(entry[0] - 'a' + 'A')] = i;
    }

    std::vector<Candidate> longer;  // last entry first
    size_t shortest = std::numeric_limits<size_t>::max();
    for (int i = count - 1; i > lastEmptyEntry_; --i) {
        const std::string& entry = folded_[static_cast<size_t>(i)];
        if (entry.size() < 2) continue;
        if (i < shortMatch_[static_cast<unsigned char>(entry[0])]) continue;
        Candidate c{};
        c.length = static_cast<uint32_t>(entry.size());
        c.index = i;
        std::string fold(entry.size(), '\0');
        std::string mask(entry.size(), '\xff');
        for (size_t j = 0; j < entry.size(); ++j) {
            if (isAsciiLetter(entry[j])) fold[j] = 0x20;
        }
        for (int w = 0; w < 2; ++w) {
            c.key[w] = wordOf(entry, 8 * w, 8);
            c.fold[w] = wordOf(fold, 8 * w, 8);
            c.mask[w] = wordOf(mask, 8 * w, 8);
        }
        shortest = std::min(shortest, entry.size());
        longer.push_back(c);
    }

    hashBytes_ =
        longer.empty() ? std::numeric_limits<size_t>::max() : std::min<size_t>(shortest, 8);
    hashMask_ = longer.empty() ? 0 : wordOf(std::string(8, '\xff'), 0, hashBytes_);
    size_t buckets = 16;
    while (buckets < 2 * longer.size())
        buckets *= 2;
    hashShift_ = 64;
    for (size_t b = buckets; b > 1; b /= 2)
        --hashShift_;

    std::vector<uint32_t> sizes(buckets, 0);
    for (const Candidate& c : longer)
        ++sizes[bucketOf(c.key[0])];
    bucketStart_.assign(buckets + 1, 0);
    for (size_t b = 0; b < buckets; ++b)
        bucketStart_[b + 1] = bucketStart_[b] + sizes[b];
    candidates_.resize(longer.size());
    std::vector<uint32_t> next(bucketStart_.begin(), bucketStart_.end() - 1);
    for (const Candidate& c : longer)
        candidates_[next[bucketOf(c.key[0])]++] = c;
}

}  // namespace tabulon
