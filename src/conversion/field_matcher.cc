#include "conversion/field_matcher.h"

#include "platform/text.h"

namespace tabulon {

FieldMatcher::FieldMatcher(const FieldList& fields) {
    folded_.reserve(fields.size());
    for (const std::string& field : fields) {
        std::string folded(field);
        for (char& c : folded)
            c = asciiLower(c);
        if (folded.size() > longest_) longest_ = folded.size();
        folded_.push_back(std::move(folded));
    }
    for (int i = static_cast<int>(folded_.size()) - 1; i >= 0 && lastEmptyEntry_ < 0; --i) {
        if (folded_[static_cast<size_t>(i)].empty()) lastEmptyEntry_ = i;
    }
    // An empty entry matches every line, so no entry before the last empty one can
    // ever be the last match: it is left out of the lists.
    std::array<std::vector<int>, 256> byFirstByte;
    for (int i = static_cast<int>(folded_.size()) - 1; i > lastEmptyEntry_; --i) {
        byFirstByte[static_cast<unsigned char>(folded_[static_cast<size_t>(i)][0])].push_back(i);
    }
    for (size_t byte = 0; byte < 256; ++byte) {
        candidateStart_[byte] = static_cast<uint32_t>(candidates_.size());
        candidates_.insert(candidates_.end(), byFirstByte[byte].begin(), byFirstByte[byte].end());
        if (lastEmptyEntry_ >= 0) candidates_.push_back(lastEmptyEntry_);
    }
    candidateStart_[256] = static_cast<uint32_t>(candidates_.size());
}

}  // namespace tabulon
