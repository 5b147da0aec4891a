#include "mail/field_extractor.h"

#include "platform/text.h"

namespace tabulon {

bool isSignatureLine(std::string_view line) {
    return line == "-- " || line == "--";
}

bool BodyLines::next(std::string_view* line) {
    if (pos_ >= body_.size()) return false;
    size_t end = body_.find('\n', pos_);
    if (end == std::string_view::npos) end = body_.size();
    *line = body_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return !isSignatureLine(*line);
}

FieldExtractor::FieldExtractor(const FieldList& fields) : matcher_(fields), count_(fields.size()) {}

void FieldExtractor::extract(std::string_view body, std::vector<std::string>* cells,
                             std::vector<bool>* found) const {
    cells->assign(count_, std::string());
    found->assign(count_, false);
    int current = -1;  // the field whose value the next lines continue
    BodyLines lines(body);
    std::string_view line;
    while (lines.next(&line)) {
        int index = matcher_.match(line.data(), line.size());
        if (index >= 0) {
            auto i = static_cast<size_t>(index);
            std::string_view value = trimBlanks(line.substr(matcher_.entryLength(index)));
            std::string& cell = (*cells)[i];
            if (!cell.empty() && !value.empty()) cell += '\n';
            cell.append(value);
            (*found)[i] = true;
            current = index;
            continue;
        }
        std::string_view text = trimBlanks(line);
        if (text.empty()) {
            current = -1;
        } else if (current >= 0) {
            std::string& cell = (*cells)[static_cast<size_t>(current)];
            if (!cell.empty()) cell += '\n';
            cell.append(text);
        }
    }
}

}  // namespace tabulon
