#include "table/tsv_writer.h"

#include "table/formula_guard.h"
#include "table/utf8_text.h"

namespace tabulon {

Status TsvWriter::begin(const std::vector<std::string>& names) {
    std::vector<std::string> titles;
    for (const std::string& name : names)
        titles.push_back(columnTitle(name));
    return row(titles);
}

Status TsvWriter::row(const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out_.text() += '\t';
        appendCell(cells[i]);
    }
    out_.text() += '\n';
    return out_.flushIfFull();
}

void TsvWriter::appendCell(std::string_view value) {
    scratch_.clear();
    appendCellText(value, &scratch_);
    std::string& text = out_.text();
    if (looksLikeFormula(scratch_) || opensQuotedField(scratch_)) text += kFormulaGuard;
    std::string_view rest = scratch_;
    for (;;) {
        size_t special = rest.find_first_of("\t\n\r\\");
        text.append(rest.substr(0, special));
        if (special == std::string_view::npos) break;
        switch (rest[special]) {
            case '\t':
                text += "\\t";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            default:
                text += "\\\\";
                break;
        }
        rest.remove_prefix(special + 1);
    }
}

}  // namespace tabulon
