#include "conversion/checkline.h"

namespace tabulon {

std::string checkline(std::string_view line, const FieldMatcher& matcher) {
    int index = matcher.match(line.data(), line.size());
    if (index < 0) return std::string();
    std::string result(line.substr(matcher.entryLength(index)));
    result += matcher.isLastEntry(index) ? '\r' : '\t';
    return result;
}

}  // namespace tabulon
