#include "table/csv_text.h"

namespace tabulon {

void appendCsvField(std::string_view field, std::string* out) {
    // Besides RFC 4180's comma, quote and line ends: semicolon and Tab, which
    // spreadsheets also take as separators when they guess a file's delimiter.
    if (field.find_first_of(",;\t\"\r\n") == std::string_view::npos) {
        out->append(field);
        return;
    }
    *out += '"';
    for (char c : field) {
        if (c == '"') *out += '"';
        *out += c;
    }
    *out += '"';
}

std::string csvRecord(const std::vector<std::string>& fields) {
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) text += ',';
        appendCsvField(fields[i], &text);
    }
    return text;
}

bool readCsvRecord(std::string_view text, size_t* pos, std::vector<std::string>* fields) {
    fields->clear();
    size_t i = *pos;
    std::string field;
    for (;;) {
        field.clear();
        if (i < text.size() && text[i] == '"') {
            for (++i;; ++i) {
                if (i >= text.size()) {
                    *pos = i;
                    return false;
                }
                if (text[i] != '"') {
                    field += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;  // the closing quote
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                *pos = i;
                return false;
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                field += text[i++];
        }
        fields->push_back(field);
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        if (i < text.size() && text[i] == '\r') {
            ++i;
            if (i < text.size() && text[i] == '\n') ++i;
        } else if (i < text.size()) {
            ++i;  // LF
        }
        *pos = i;
        return true;
    }
}

}  // namespace tabulon
