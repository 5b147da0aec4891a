#include "mail/structured_body.h"

#include <json-glib/json-glib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "mail/form_lines.h"
#include "mail/label_shape.h"
#include "mail/script_dump.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

// Bodies larger than this are no form's data.
constexpr size_t kMaxDataBytes = 4 << 20;
// Nor data nested deeper than this, which would only exhaust the parser's stack.
constexpr int kMaxDepth = 32;

// Whether the JSON text `span` nests its objects and lists at most kMaxDepth deep.
bool isShallow(std::string_view span) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < span.size(); ++i) {
        char c = span[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxDepth) return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

std::string scalarText(JsonNode* node) {
    switch (json_node_get_value_type(node)) {
        case G_TYPE_STRING:
            return json_node_get_string(node);
        case G_TYPE_BOOLEAN:
            return json_node_get_boolean(node) ? "true" : "false";
        case G_TYPE_INT64:
            return std::to_string(json_node_get_int(node));
        case G_TYPE_DOUBLE: {
            char buffer[G_ASCII_DTOSTR_BUF_SIZE];
            return g_ascii_dtostr(buffer, sizeof buffer, json_node_get_double(node));
        }
        default:
            return {};
    }
}

void addNode(const std::string& label, JsonNode* node, FormText* out, int depth);

void addObject(const std::string& prefix, JsonObject* object, FormText* out, int depth) {
    GList* members = json_object_get_members(object);
    for (GList* m = members; m != nullptr; m = m->next) {
        const char* name = static_cast<const char*>(m->data);
        std::string label = prefix.empty() ? name : prefix + "." + name;
        addNode(label, json_object_get_member(object, name), out, depth + 1);
    }
    g_list_free(members);
}

// An object that names a field and holds its answer ({"label": "City", "value":
// "Lyon"}, as form services send their fields in a list): that field.
bool addLabelled(JsonObject* object, FormText* out) {
    const char* label = nullptr;
    for (const char* key : {"label", "question", "title"}) {
        JsonNode* node = json_object_get_member(object, key);
        if (node != nullptr && JSON_NODE_HOLDS_VALUE(node) &&
            json_node_get_value_type(node) == G_TYPE_STRING) {
            label = json_node_get_string(node);
            break;
        }
    }
    if (label == nullptr || *label == '\0' || json_object_get_size(object) > 8) return false;
    for (const char* key : {"value", "answer", "values", "response"}) {
        JsonNode* node = json_object_get_member(object, key);
        if (node == nullptr) continue;
        std::string value;
        if (JSON_NODE_HOLDS_ARRAY(node)) {
            JsonArray* array = json_node_get_array(node);
            for (guint i = 0; i < json_array_get_length(array); ++i) {
                JsonNode* item = json_array_get_element(array, i);
                if (!JSON_NODE_HOLDS_VALUE(item)) return false;
                if (!value.empty()) value += '\n';
                value += scalarText(item);
            }
        } else if (JSON_NODE_HOLDS_VALUE(node)) {
            value = scalarText(node);
        } else if (!JSON_NODE_HOLDS_NULL(node)) {
            return false;
        }
        out->fields.push_back({label, value, -1});
        return true;
    }
    return false;
}

void addNode(const std::string& label, JsonNode* node, FormText* out, int depth) {
    if (depth > kMaxDepth) return;
    switch (JSON_NODE_TYPE(node)) {
        case JSON_NODE_OBJECT:
            if (addLabelled(json_node_get_object(node), out)) return;
            addObject(label, json_node_get_object(node), out, depth);
            return;
        case JSON_NODE_ARRAY: {
            JsonArray* array = json_node_get_array(node);
            std::string value;
            bool scalars = true;
            for (guint i = 0; i < json_array_get_length(array); ++i) {
                JsonNode* item = json_array_get_element(array, i);
                if (JSON_NODE_TYPE(item) != JSON_NODE_VALUE &&
                    JSON_NODE_TYPE(item) != JSON_NODE_NULL) {
                    scalars = false;
                    addNode(label + "." + std::to_string(i + 1), item, out, depth + 1);
                    continue;
                }
                if (!value.empty()) value += '\n';
                value += scalarText(item);
            }
            if (scalars || !value.empty()) out->fields.push_back({label, value, -1});
            return;
        }
        case JSON_NODE_VALUE:
            out->fields.push_back({label, scalarText(node), -1});
            return;
        case JSON_NODE_NULL:
            out->fields.push_back({label, {}, -1});
            return;
    }
}

// The data in `body`: from a line that begins with `open` to the last line that
// ends with `close`. Text above (an intro) and below (a footer) is not the data.
bool dataSpan(std::string_view body, char open, char close, std::string_view* span) {
    size_t start = body.starts_with(open) ? 0 : body.find(std::string("\n") + open);
    if (start == body.npos) return false;
    if (body[start] == '\n') ++start;
    size_t end = body.rfind(close);
    while (end != body.npos && end > start) {
        size_t next = body.find('\n', end);
        if (trimBlanks(body.substr(end + 1, next == body.npos ? next : next - end - 1)).empty())
            break;
        end = end == 0 ? body.npos : body.rfind(close, end - 1);
    }
    if (end == body.npos || end <= start) return false;
    *span = body.substr(start, end - start + 1);
    return true;
}

// Lines of `text` that read "Label: value", above a signature: text around data
// that holds two is a form of its own, the data one of its values.
size_t labelLines(std::string_view text) {
    size_t labels = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == text.npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (isSignatureLine(line)) break;
        LabelLine label;
        labels += colonLabelOf(trimBlanks(line), &label, kShortLabelWords) && !label.value.empty();
        pos = end + 1;
    }
    return labels;
}

bool readJson(std::string_view body, FormText* out) {
    std::string_view span;
    if (!dataSpan(body, '{', '}', &span) || span.size() > kMaxDataBytes || !isShallow(span))
        return false;
    size_t before = static_cast<size_t>(span.data() - body.data());
    if (labelLines(body.substr(0, before)) + labelLines(body.substr(before + span.size())) >= 2)
        return false;
    JsonParser* parser = json_parser_new();
    bool read =
        json_parser_load_from_data(parser, span.data(), static_cast<gssize>(span.size()), nullptr);
    JsonNode* root = read ? json_parser_get_root(parser) : nullptr;
    if (root != nullptr && JSON_NODE_TYPE(root) == JSON_NODE_OBJECT) {
        out->fields.clear();
        addObject({}, json_node_get_object(root), out, 0);
    } else {
        read = false;
    }
    g_object_unref(parser);
    return read && !out->fields.empty();
}

// An XML element's children that hold text alone are fields, named by their
// path below the document's root as a JSON object's members are.
void addElement(const std::string& prefix, xmlNode* element, FormText* out, int depth) {
    if (depth > kMaxDepth) return;
    for (xmlNode* child = element->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        const char* name = reinterpret_cast<const char*>(child->name);
        std::string label = prefix.empty() ? name : prefix + "." + name;
        bool leaf = true;
        for (xmlNode* below = child->children; below != nullptr && leaf; below = below->next)
            leaf = below->type != XML_ELEMENT_NODE;
        if (!leaf) {
            addElement(label, child, out, depth + 1);
            continue;
        }
        xmlChar* text = xmlNodeGetContent(child);
        std::string value = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        xmlFree(text);
        out->fields.push_back({label, std::string(trimBlanks(value)), -1});
    }
}

// A document that begins "<?xml" on a line of its own to its last ">"; no
// network, no entities from outside it.
bool readXml(std::string_view body, FormText* out) {
    std::string_view span;
    if (!dataSpan(body, '<', '>', &span) || !span.starts_with("<?xml") ||
        span.size() > kMaxDataBytes)
        return false;
    xmlDoc* document = xmlReadMemory(span.data(), static_cast<int>(span.size()), nullptr, nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (document == nullptr) return false;
    FormText read;
    if (xmlNode* root = xmlDocGetRootElement(document)) addElement({}, root, &read, 0);
    xmlFreeDoc(document);
    if (read.fields.size() < 2) return false;
    out->fields = std::move(read.fields);
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() + 0 && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    // CR LF from a textarea is a line end.
    std::string lines;
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == '\r' && i + 1 < decoded.size() && decoded[i + 1] == '\n') continue;
        lines += decoded[i] == '\r' ? '\n' : decoded[i];
    }
    // Escaped bytes that are no UTF-8 ("%C3t%89") are read as any text of no
    // charset is.
    if (isValidUtf8(lines)) return lines;
    std::string valid;
    appendValidUtf8(lines, &valid);
    return valid;
}

bool isKeyByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '[' || c == ']' || c == '%' || c == '+';
}

// "name=Ann+Berg&city=Lyon": a line of the body, no blank in it; or the query
// of a request line a script mails as it came ("GET /send.php?name=Ann HTTP/1.1").
bool readQueryLine(std::string_view line, FormText* out) {
    line = trimBlanks(line);
    if ((line.starts_with("GET /") || line.starts_with("POST /")) &&
        line.substr(line.rfind(' ') + 1).starts_with("HTTP/")) {
        size_t question = line.find('?');
        size_t end = line.rfind(' ');
        if (question == line.npos || question > end) return false;
        line = line.substr(question + 1, end - question - 1);
    }
    std::string text(line);
    if (text.size() > kMaxDataBytes || text.find('&') == text.npos) return false;
    if (text.find(' ') != text.npos || text.find('\t') != text.npos) return false;
    std::vector<FormField> fields;
    for (size_t pos = 0; pos <= text.size();) {
        size_t end = text.find('&', pos);
        if (end == text.npos) end = text.size();
        std::string_view pair = std::string_view(text).substr(pos, end - pos);
        size_t equals = pair.find('=');
        if (equals == pair.npos || equals == 0) return false;
        for (char c : pair.substr(0, equals)) {
            if (!isKeyByte(c)) return false;
        }
        fields.push_back(
            {percentDecoded(pair.substr(0, equals)), percentDecoded(pair.substr(equals + 1)), -1});
        pos = end + 1;
    }
    if (fields.size() < 2) return false;
    out->fields = std::move(fields);
    return true;
}

// The length of the "key=" that opens `text`, or 0.
size_t keyLength(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isKeyByte(text[i]))
        ++i;
    return i > 0 && i < text.size() && text[i] == '=' ? i + 1 : 0;
}

// "naam=Sanne de Wit&bericht=Hallo,\nIk wil...&verzenden=Verstuur&": the pairs a
// script glued without encoding them, from a line opening with "key=" to the
// one that ends with "&" (or the paragraph's end). A pair ends at an "&" that
// opens the next "key="; its value is kept as written.
bool readRawQuery(std::string_view body, size_t from, FormText* out) {
    size_t end = from;
    while (end < body.size()) {
        size_t lineEnd = std::min(body.find('\n', end), body.size());
        std::string_view line = trimBlanks(body.substr(end, lineEnd - end));
        if (line.empty() && end > from) break;
        end = lineEnd;
        if (line.ends_with('&')) break;
        ++end;
    }
    std::string_view text = trimBlanks(body.substr(from, std::min(end, body.size()) - from));
    if (text.size() > kMaxDataBytes) return false;
    std::vector<FormField> fields;
    for (size_t pos = 0; pos < text.size();) {
        size_t key = keyLength(text.substr(pos));
        if (key == 0) return false;
        size_t next = pos + key;
        while ((next = text.find('&', next)) != text.npos && next + 1 < text.size() &&
               keyLength(text.substr(next + 1)) == 0)
            ++next;
        if (next == text.npos) next = text.size();
        fields.push_back({std::string(text.substr(pos, key - 1)),
                          std::string(trimBlanks(text.substr(pos + key, next - pos - key))), -1});
        pos = next + 1;
    }
    if (fields.size() < 3) return false;
    out->fields = std::move(fields);
    return true;
}

// The first line of `body` that is such a string of at least three pairs, or
// that opens one written raw.
bool readQuery(std::string_view body, FormText* out) {
    for (size_t pos = 0; pos < body.size();) {
        size_t end = body.find('\n', pos);
        if (end == body.npos) end = body.size();
        std::string_view line = body.substr(pos, end - pos);
        if (std::count(line.begin(), line.end(), '&') >= 2 &&
            (readQueryLine(line, out) || readRawQuery(body, pos, out)))
            return true;
        pos = end + 1;
    }
    return false;
}

// The cells of the CSV record at `*pos` of `text`, parted by `separator`: a
// quoted cell may hold the separator, a doubled quote and line ends. `*pos`
// moves past the record's line end.
std::vector<std::string> csvRecord(std::string_view text, size_t* pos, char separator) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    size_t i = *pos;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"' && trimBlanks(cells.back()).empty()) {
            quoted = true;
            cells.back().clear();
        } else if (c == separator) {
            cells.emplace_back();
        } else if (c == '\n') {
            break;
        } else {
            cells.back() += c;
        }
    }
    *pos = std::min(i + 1, text.size());
    for (std::string& cell : cells)
        cell = std::string(trimBlanks(cell));
    return cells;
}

// A line of column names: three or more, each short, none a number or quoted.
bool isCsvHeader(const std::vector<std::string>& cells) {
    if (cells.size() < 3) return false;
    for (const std::string& cell : cells) {
        if (cell.empty() || cell.size() > kMaxLabelBytes || cell.find('"') != cell.npos ||
            std::isdigit(static_cast<unsigned char>(cell[0])) ||
            std::count(cell.begin(), cell.end(), ' ') >= kShortLabelWords)
            return false;
    }
    return true;
}

bool readCsvLines(std::string_view body, FormText* out) {
    for (char separator : {';', ','}) {
        for (size_t at = body.find(separator); at != body.npos;) {
            size_t start = body.rfind('\n', at);
            start = start == body.npos ? 0 : start + 1;
            size_t end = std::min(body.find('\n', at), body.size());
            std::string_view line = body.substr(start, end - start);
            at = end < body.size() ? body.find(separator, end) : body.npos;
            if (std::count(line.begin(), line.end(), separator) < 2 ||
                (separator == ',' && line.find(", ") != line.npos))
                continue;
            size_t pos = start;
            std::vector<std::string> names = csvRecord(body, &pos, separator);
            if (!isCsvHeader(names) || pos >= body.size()) continue;
            std::vector<std::string> values = csvRecord(body, &pos, separator);
            if (values.size() != names.size()) continue;
            // One record only: a table of several is no form's message.
            size_t next = pos;
            if (pos < body.size() && csvRecord(body, &next, separator).size() == names.size())
                return false;
            for (size_t i = 0; i < names.size(); ++i)
                out->fields.push_back({names[i], values[i], -1});
            return true;
        }
    }
    return false;
}

}  // namespace

bool readStructuredBody(std::string_view body, FormText* out) {
    std::string_view trimmed = trimBlanks(body);
    // A script's dump first: JSON's parser takes 'quoted' keys too, but not
    // their escapes.
    size_t brace = trimmed.find('{');
    if (readScriptDump(trimmed, brace, out)) return true;
    if (brace != trimmed.npos && readJson(trimmed, out)) return true;
    if (trimmed.find("<?xml") != trimmed.npos && readXml(trimmed, out)) return true;
    return trimmed.find('=') != trimmed.npos && readQuery(trimmed, out);
}

bool readCsvRecord(std::string_view body, FormText* out) {
    body = trimBlanks(body);
    return body.size() <= kMaxDataBytes && readCsvLines(body, out);
}

}  // namespace tabulon
