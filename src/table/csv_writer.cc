#include "table/csv_writer.h"

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
    std::string& text = out_.text();
    // Besides RFC 4180's comma, quote and line ends: semicolon and Tab, which
    // spreadsheets also take as separators when they guess a file's delimiter.
    bool quoted = scratch_.find_first_of(",;\t\"\r\n") != std::string::npos;
    if (quoted) text += '"';
    if (looksLikeFormula(scratch_)) text += kFormulaGuard;
    if (!quoted) {
        text += scratch_;
        return;
    }
    for (char c : scratch_) {
        if (c == '"') text += '"';
        text += c;
    }
    text += '"';
}

}  // namespace tabulon
