#include "table/tab_writer.h"

#include <algorithm>

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
        if (looksLikeFormula(cell)) text += kFormulaGuard;
        // Runs without a control character are copied whole.
        std::string_view rest = cell;
        for (;;) {
            auto control = std::ranges::find_if(
                rest, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
            size_t run = static_cast<size_t>(control - rest.begin());
            text.append(rest.substr(0, run));
            if (run == rest.size()) break;
            text += isStrayControl(rest[run]) ? kReplacementCharacter : std::string_view(" ");
            rest.remove_prefix(run + 1);
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
