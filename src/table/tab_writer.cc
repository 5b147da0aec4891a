#include "table/tab_writer.h"

#include "table/formula_guard.h"
#include "table/utf8_text.h"

namespace tabulon {

Status TabWriter::begin(const std::vector<std::string>& names) {
    std::string& text = out_.text();
    for (size_t i = 0; i < names.size(); ++i) {
        text += names[i];
        text += i + 1 == names.size() ? '\r' : '\t';
    }
    return out_.flushIfFull();
}

Status TabWriter::row(const std::vector<std::string>& cells) {
    std::string& text = out_.text();
    for (const std::string& cell : cells) {
        if (looksLikeFormula(cell) || opensQuotedField(cell)) text += kFormulaGuard;
        // Runs without a control character are copied whole; Tab, LF and CR,
        // which end a cell or a row here, become spaces.
        std::string_view rest = cell;
        for (;;) {
            size_t control = 0;
            size_t run = findControl(rest, 0, &control);
            text.append(rest.substr(0, run));
            if (run == rest.size()) break;
            text +=
                strayControlLength(rest, run) > 0 ? kReplacementCharacter : std::string_view(" ");
            rest.remove_prefix(run + control);
        }
        text += '\t';
    }
    if (cells.empty()) {
        text += '\r';
    } else {
        text.back() = '\r';
    }
    return out_.flushIfFull();
}

}  // namespace tabulon
