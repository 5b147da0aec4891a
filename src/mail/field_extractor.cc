#include "mail/field_extractor.h"

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

FieldExtractor::FieldExtractor(const FieldList& fields, FormLayout layout) : fields_(fields) {
    setLayout(std::move(layout));
}

void FieldExtractor::setLayout(FormLayout layout) {
    layout_ = std::make_unique<FormLayout>(std::move(layout));
    reader_ = std::make_unique<FormReader>(fields_, *layout_);
}

void FieldExtractor::extract(std::string_view body, std::vector<std::string>* cells,
                             std::vector<bool>* found, ExtractedExtras* extras) const {
    cells->assign(fields_.size(), std::string());
    found->assign(fields_.size(), false);
    thread_local FormText form;
    reader_->read(body, &form);
    if (extras != nullptr) {
        extras->unplacedLines = form.unplacedLines;
        extras->otherLabels.clear();
    }
    for (FormField& field : form.fields) {
        if (field.entry < 0) {
            if (extras != nullptr)
                extras->otherLabels.push_back({std::move(field.label), !field.value.empty()});
            continue;
        }
        auto i = static_cast<size_t>(field.entry);
        std::string& cell = (*cells)[i];
        if (!cell.empty() && !field.value.empty()) cell += '\n';
        cell.append(field.value);
        (*found)[i] = true;
    }
}

}  // namespace tabulon
