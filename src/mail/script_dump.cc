#include "mail/script_dump.h"

#include <glib.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"

namespace tabulon {
namespace {

// Dumps larger than this are no form's data, nor nested deeper than this.
constexpr size_t kMaxDumpBytes = 4 << 20;
constexpr int kMaxDepth = 32;

// A Perl or Python map literal from `text[at]`, an opening brace.
class MapLiteral {
  public:
    MapLiteral(std::string_view text, size_t at) : text_(text), at_(at) {}

    bool read(std::vector<FormField>* fields) { return map({}, fields, 0); }

  private:
    bool map(const std::string& prefix, std::vector<FormField>* fields, int depth) {
        if (depth > kMaxDepth || !take('{')) return false;
        for (;;) {
            if (take('}')) return true;
            std::string key;
            if (!quoted(&key) && !bare(&key)) return false;
            blanks();
            if (text_.substr(at_).starts_with("=>")) {
                at_ += 2;
            } else if (!take(':')) {
                return false;
            }
            std::string label = prefix.empty() ? key : prefix + "." + key;
            blanks();
            if (at_ < text_.size() && text_[at_] == '{') {
                if (!map(label, fields, depth + 1)) return false;
            } else {
                std::string value;
                if (!scalarOrList(&value, depth)) return false;
                fields->push_back({label, value, -1});
            }
            if (!take(',') && !(blanks(), at_ < text_.size() && text_[at_] == '}')) return false;
        }
    }

    // A string (or strings side by side, as Python joins them), a list of them
    // one a line, or a bare word (a number; None and undef are nothing).
    bool scalarOrList(std::string* value, int depth) {
        if (depth > kMaxDepth) return false;
        blanks();
        if (take('[') || take('(')) {
            char close = text_[at_ - 1] == '[' ? ']' : ')';
            bool joined = close == ')';  // ('abc ' 'def'): one string
            for (bool first = true; !take(close); first = false) {
                std::string item;
                if (!scalarOrList(&item, depth + 1)) return false;
                if (!first && !joined) *value += '\n';
                *value += item;
                take(',');
            }
            return true;
        }
        if (!quoted(value)) {
            std::string word;
            if (!bare(&word)) return false;
            if (word != "None" && word != "undef" && word != "null") *value = word;
            return true;
        }
        for (std::string more; (blanks(), quoted(&more)); more.clear())
            *value += more;
        return true;
    }

    bool quoted(std::string* out) {
        blanks();
        if (at_ >= text_.size() || (text_[at_] != '\'' && text_[at_] != '"')) return false;
        char quote = text_[at_++];
        while (at_ < text_.size() && text_[at_] != quote) {
            char c = text_[at_++];
            if (c != '\\' || at_ >= text_.size()) {
                *out += c;
                continue;
            }
            c = text_[at_++];
            if (c == 'n') {
                *out += '\n';
            } else if (c == 't') {
                *out += '\t';
            } else if (c == 'u' && at_ + 4 <= text_.size()) {
                auto code = static_cast<gunichar>(
                    std::strtoul(std::string(text_.substr(at_, 4)).c_str(), nullptr, 16));
                char bytes[6];
                if (g_unichar_validate(code))
                    out->append(bytes, static_cast<size_t>(g_unichar_to_utf8(code, bytes)));
                at_ += 4;
            } else if (c != 'r') {
                *out += c;  // \\, \', \"
            }
        }
        if (at_ >= text_.size()) return false;  // no closing quote
        ++at_;
        return true;
    }

    bool bare(std::string* out) {
        blanks();
        size_t start = at_;
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) ||
                                      text_[at_] == '_' || text_[at_] == '.' || text_[at_] == '-'))
            ++at_;
        *out = text_.substr(start, at_ - start);
        return at_ > start;
    }

    bool take(char c) {
        blanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    void blanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    std::string_view text_;
    size_t at_;
};

std::string_view lineAt(std::string_view text, size_t at) {
    if (at >= text.size()) return {};
    size_t end = text.find('\n', at);
    return text.substr(at, end == text.npos ? text.npos : end - at);
}

// PHP's print_r of an array, from the line after its "(" to its ")": entries
// "[key] => value" indented by `indent`, a value's further lines below it.
bool printedArray(std::string_view text, size_t* at, size_t indent, const std::string& prefix,
                  std::vector<FormField>* fields, int depth) {
    if (depth > kMaxDepth) return false;
    std::string_view entryIndent = "                                                            ";
    entryIndent = entryIndent.substr(0, std::min(indent, entryIndent.size()));
    std::vector<FormField> items;
    while (*at < text.size()) {
        std::string_view line = lineAt(text, *at);
        *at += line.size() + 1;
        if (trimBlanks(line) == ")" && line.find(')') + 4 == indent) break;
        size_t close = line.find("] => ");
        bool entry = line.starts_with(entryIndent) && line.size() > indent && line[indent] == '[' &&
                     close != line.npos;
        if (!entry) {
            if (items.empty()) return false;
            items.back().value += '\n';
            items.back().value += line;
            continue;
        }
        std::string key(line.substr(indent + 1, close - indent - 1));
        std::string label = prefix.empty() ? key : prefix + "." + key;
        std::string_view value = line.substr(close + 5);
        if (trimBlanks(value) == "Array" && trimBlanks(lineAt(text, *at)) == "(") {
            *at += lineAt(text, *at).size() + 1;
            std::vector<FormField> nested;
            if (!printedArray(text, at, indent + 8, label, &nested, depth + 1)) return false;
            // A list ([0] => ..., [1] => ...) is one value, its items one a line.
            bool list = !nested.empty();
            for (const FormField& item : nested)
                list = list && item.label.size() > label.size() &&
                       std::isdigit(static_cast<unsigned char>(item.label[label.size() + 1]));
            if (list) {
                items.push_back({label, {}, -1});
                for (const FormField& item : nested)
                    items.back().value += (items.back().value.empty() ? "" : "\n") + item.value;
            } else {
                items.insert(items.end(), nested.begin(), nested.end());
            }
            continue;
        }
        items.push_back({label, std::string(value), -1});
    }
    for (FormField& item : items) {
        while (!item.value.empty() && (item.value.back() == '\n' || item.value.back() == ' '))
            item.value.pop_back();
        fields->push_back(std::move(item));
    }
    return true;
}

bool readPrintedArray(std::string_view body, std::vector<FormField>* fields) {
    for (size_t at = 0; at < body.size();) {
        std::string_view line = lineAt(body, at);
        at += line.size() + 1;
        if (trimBlanks(line) != "Array" || at >= body.size() || trimBlanks(lineAt(body, at)) != "(")
            continue;
        at += lineAt(body, at).size() + 1;
        return printedArray(body, &at, 4, {}, fields, 0);
    }
    return false;
}

// PHP's var_dump of an array: "array(2) {", then entries '["key"]=>' above
// their values ('string(3) "Ann"', "int(5)", "bool(true)", "NULL", a nested
// array), then "}". A string's length counts the bytes as the script had them,
// before the mail's charset and line ends were made its own: its end is the
// quote the length points at, or else the first that ends a line the next
// entry or the array's end follows.
class VarDump {
  public:
    explicit VarDump(std::string_view text) : text_(text) {}

    bool read(size_t at, std::vector<FormField>* fields) {
        at_ = at;
        return array({}, fields, 0) && fields->size() >= 2;
    }

  private:
    void skipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\t'))
            ++at_;
    }
    bool take(std::string_view word) {
        skipBlanks();
        if (!text_.substr(at_).starts_with(word)) return false;
        at_ += word.size();
        return true;
    }
    // "(...)" after a type's name: its inside.
    bool parenthesised(std::string_view* inside) {
        if (!take("(")) return false;
        size_t close = text_.find(')', at_);
        if (close == text_.npos || close - at_ > 32) return false;
        *inside = text_.substr(at_, close - at_);
        at_ = close + 1;
        return true;
    }
    // Whether an entry or the array's end follows `at` (after blanks).
    bool entryFollows(size_t at) const {
        while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t'))
            ++at;
        return at >= text_.size() || text_[at] == '}' ||
               (text_[at] == '[' && text_.find("]=>", at) < text_.find('\n', at));
    }
    bool quotedString(std::string* value) {
        std::string_view length;
        if (!parenthesised(&length) || !take("\"")) return false;
        size_t bytes = 0;
        for (char c : length) {
            if (c < '0' || c > '9') return false;
            bytes = bytes * 10 + static_cast<size_t>(c - '0');
        }
        size_t end = at_ + bytes;
        if (!(end < text_.size() && text_[end] == '"' && entryFollows(end + 1))) {
            for (end = text_.find("\"\n", at_); end != text_.npos && !entryFollows(end + 2);
                 end = text_.find("\"\n", end + 1)) {
            }
            if (end == text_.npos) return false;
        }
        *value = text_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }
    bool array(const std::string& prefix, std::vector<FormField>* fields, int depth) {
        std::string_view count;
        if (depth > kMaxDepth || !take("array") || !parenthesised(&count) || !take("{"))
            return false;
        std::vector<FormField> items;
        bool list = true;
        for (;;) {
            if (take("}")) break;
            if (!take("[")) return false;
            size_t close = text_.find("]=>", at_);
            if (close == text_.npos || close - at_ > 200) return false;
            std::string_view key = text_.substr(at_, close - at_);
            at_ = close + 3;
            if (key.size() >= 2 && key.front() == '"' && key.back() == '"') {
                key = key.substr(1, key.size() - 2);
                list = false;
            }
            std::string label = prefix.empty() ? std::string(key) : prefix + "." + std::string(key);
            skipBlanks();
            std::string value;
            std::string_view inside;
            if (text_.substr(at_).starts_with("array")) {
                std::vector<FormField> nested;
                if (!array(label, &nested, depth + 1)) return false;
                items.insert(items.end(), nested.begin(), nested.end());
                continue;
            }
            if (take("string")) {
                if (!quotedString(&value)) return false;
            } else if (take("NULL")) {
            } else if (take("int") || take("float") || take("bool")) {
                if (!parenthesised(&inside)) return false;
                value = inside;
            } else {
                return false;
            }
            items.push_back({label, std::move(value), -1});
        }
        // A list ([0]=> ..., [1]=> ...) is one value, its items one a line.
        if (list && !prefix.empty() && !items.empty()) {
            FormField joined{prefix, {}, -1};
            for (const FormField& item : items)
                joined.value += (joined.value.empty() ? "" : "\n") + item.value;
            fields->push_back(std::move(joined));
            return true;
        }
        fields->insert(fields->end(), items.begin(), items.end());
        return true;
    }

    std::string_view text_;
    size_t at_ = 0;
};

bool readVarDump(std::string_view body, std::vector<FormField>* fields) {
    // "array(" opening a line.
    size_t start = body.starts_with("array(") ? 0 : body.find("\narray(");
    if (start == body.npos) return false;
    return VarDump(body).read(start, fields);
}

bool readMapLiteral(std::string_view body, std::vector<FormField>* fields) {
    // "{" opening a line, or "$VAR1 = {".
    size_t brace = body.starts_with('{') ? 0 : body.find("\n{");
    if (brace != body.npos && body[brace] == '\n') ++brace;
    if (size_t var = body.find("$VAR1 = {"); var != body.npos && var < brace) brace = var + 8;
    if (brace == body.npos) return false;
    return MapLiteral(body, brace).read(fields);
}

}  // namespace

bool readScriptDump(std::string_view body, size_t brace, FormText* out) {
    if (body.size() > kMaxDumpBytes) return false;
    std::vector<FormField> fields;
    // Signs looked for from a rare byte on: "]", the first "{".
    bool read = (body.find("] => ") != body.npos && readPrintedArray(body, &fields)) ||
                (brace != body.npos && body.find("]=>", brace) != body.npos &&
                 readVarDump(body, &fields)) ||
                (brace != body.npos &&
                 (body.find("{'", brace) != body.npos || body.find("$VAR1 = {") != body.npos) &&
                 readMapLiteral(body, &fields));
    if (!read || fields.size() < 2) return false;
    out->fields = std::move(fields);
    return true;
}

}  // namespace tabulon
