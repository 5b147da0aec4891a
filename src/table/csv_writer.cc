#include "table/csv_writer.h"

#include "table/csv_text.h"
#include "table/formula_guard.h"
#include "table/utf8_text.h"

namespace tabulon {

Status CsvWriter::begin(const std::vector<std::string>& names) {
    if (options_.byteOrderMark) out_.text() += "\xEF\xBB\xBF";
    std::vector<std::string> titles;
    for (const std::string& name : names)
        titles.push_back(columnTitle(name));
    return row(titles);
}

Status CsvWriter::row(const std::vector<std::string>& cells) {
    // A line holding nothing would read as no row at all: a single empty cell
    // is written quoted.
    if (cells.size() == 1 && cells[0].empty()) {
        out_.text() += "\"\"";
    } else {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out_.text() += ',';
            appendCell(cells[i]);
        }
    }
    out_.text() += "\r\n";
    return out_.flushIfFull();
}

void CsvWriter::appendCell(std::string_view value) {
    scratch_.clear();
    appendCellText(value, &scratch_);
    if (looksLikeFormula(scratch_)) scratch_.insert(scratch_.begin(), kFormulaGuard);
    appendCsvField(scratch_, &out_.text());
}

}  // namespace tabulon
