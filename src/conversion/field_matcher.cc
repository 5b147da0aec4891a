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
    for (int i = static_cast<int>(folded_.size()) - 1; i >= 0; --i) {
        const std::string& entry = folded_[static_cast<size_t>(i)];
        if (entry.empty()) {
            if (lastEmptyEntry_ < 0) lastEmptyEntry_ = i;
            for (auto& list : candidates_)
                list.push_back(i);
        } else {
            candidates_[static_cast<unsigned char>(entry[0])].push_back(i);
        }
    }
}

bool FieldMatcher::entryMatches(int index, const char* prefix, size_t size) const {
    const std::string& entry = folded_[static_cast<size_t>(index)];
    if (entry.size() > size) return false;
    for (size_t j = 0; j < entry.size(); ++j) {
        if (asciiLower(prefix[j]) != entry[j]) return false;
    }
    return true;
}

int FieldMatcher::match(const char* prefix, size_t size) const {
    if (size == 0) return lastEmptyEntry_;
    for (int index : candidates_[static_cast<unsigned char>(asciiLower(prefix[0]))]) {
        if (entryMatches(index, prefix, size)) return index;
    }
    return -1;
}

}  // namespace tabulon
