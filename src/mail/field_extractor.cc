#include "mail/field_extractor.h"

namespace tabulon {

FieldExtractor::FieldExtractor(const FieldList& fields, FormLayout layout) : fields_(fields) {
    setLayout(std::move(layout));
}

void FieldExtractor::setLayout(FormLayout layout) {
    layout_ = std::make_unique<FormLayout>(std::move(layout));
    reader_ = std::make_unique<FormReader>(fields_, *layout_);
}

void FieldExtractor::extract(std::string_view body, std::vector<std::string>* cells,
                             std::vector<bool>* found, ExtractedExtras* extras,
                             const std::vector<std::string>& fileNames) const {
    cells->assign(fields_.size(), std::string());
    found->assign(fields_.size(), false);
    thread_local FormText form;
    reader_->read(body, &form, fileNames);
    if (extras != nullptr) {
        extras->unplacedLines = form.unplacedLines;
        extras->unplacedSamples.swap(form.unplacedSamples);
        extras->labelledLines = form.labelledLines;
        extras->doubtfulLabels = form.doubtfulLabels;
        extras->doubtfulEnds = form.doubtfulEnds;
        extras->labelledTextLines.swap(form.labelledTextLines);
        extras->otherLabels.clear();
    }
    for (FormField& field : form.fields) {
        if (field.entry < 0) {
            if (extras != nullptr && !field.note)
                extras->otherLabels.push_back({std::move(field.label), !field.value.empty()});
            continue;
        }
        auto i = static_cast<size_t>(field.entry);
        std::string& cell = (*cells)[i];
        if (!cell.empty() && !field.value.empty()) {
            cell += '\n';
            if (extras != nullptr) {
                if (extras->unplacedSamples.size() < kKeptSamples)
                    extras->unplacedSamples.push_back("two answers joined in " + field.label);
                ++extras->doubtfulLabels;
            }
        }
        cell.append(field.value);
        (*found)[i] = true;
    }
}

}  // namespace tabulon
