#include "table/jsonl_writer.h"

#include <cstdio>

#include "table/utf8_text.h"

namespace tabulon {

namespace {

// Appends `value`, valid UTF-8, as a JSON string: every control escaped.
void appendJsonString(std::string_view value, std::string* out) {
    *out += '"';
    size_t plain = 0;  // start of the bytes not yet appended
    for (size_t i = 0; i < value.size(); ++i) {
        auto c = static_cast<unsigned char>(value[i]);
        if (!mayBeginControl(value[i]) && c != '"' && c != '\\') continue;
        size_t control = controlLength(value, i);
        if (c == 0xC2 && control == 0) continue;
        out->append(value.substr(plain, i - plain));
        if (control == 2) c = static_cast<unsigned char>(value[++i]);  // a C1 control
        plain = i + 1;
        switch (c) {
            case '"':
                *out += "\\\"";
                break;
            case '\\':
                *out += "\\\\";
                break;
            case '\n':
                *out += "\\n";
                break;
            case '\r':
                *out += "\\r";
                break;
            case '\t':
                *out += "\\t";
                break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                *out += escaped;
            }
        }
    }
    out->append(value.substr(plain));
    *out += '"';
}

}  // namespace

Status JsonlWriter::begin(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        addKey(columnTitle(name));
    return Status::Ok();
}

void JsonlWriter::addKey(const std::string& title) {
    std::string valid;
    appendValidUtf8(title, &valid);
    std::string key = valid;
    for (int n = 2; taken_.count(key) > 0; ++n)
        key = valid + " " + std::to_string(n);
    taken_.insert(key);
    keys_.emplace_back();
    appendJsonString(key, &keys_.back());
}

Status JsonlWriter::row(const std::vector<std::string>& cells) {
    while (keys_.size() < cells.size())
        addKey("column " + std::to_string(keys_.size() + 1));
    std::string& text = out_.text();
    text += '{';
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) text += ',';
        text += keys_[i];
        text += ':';
        valid_.clear();
        appendValidUtf8(cells[i], &valid_);
        appendJsonString(valid_, &text);
    }
    text += "}\n";
    return out_.flushIfFull();
}

}  // namespace tabulon
