#include "table/tab_writer.h"

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
        size_t start = text.size();
        text += cell;
        for (size_t i = start; i < text.size(); ++i) {
            if (text[i] == '\t' || text[i] == '\r' || text[i] == '\n') text[i] = ' ';
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
