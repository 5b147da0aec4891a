#include "output/table_rows.h"

#include <json-glib/json-glib.h>

#include <fstream>

#include "table/csv_text.h"
#include "table/table_writer.h"
#include "table/xlsx_reader.h"

namespace tabulon {
namespace {

// The first rows are enough: every row of a table was written alike.
constexpr size_t kRowsLooked = 200;
constexpr size_t kBytesLooked = 1 << 20;

std::vector<std::string> split(std::string_view line, char separator) {
    std::vector<std::string> cells;
    for (size_t start = 0;;) {
        size_t end = line.find(separator, start);
        cells.emplace_back(line.substr(start, end - start));
        if (end == std::string_view::npos) return cells;
        start = end + 1;
    }
}

// The cells of the rows of a jsonl table under the keys `titles`.
std::vector<std::string> jsonCells(const std::string& line,
                                   const std::vector<std::string>& titles) {
    std::vector<std::string> cells(titles.size());
    JsonParser* parser = json_parser_new();
    if (json_parser_load_from_data(parser, line.data(), static_cast<gssize>(line.size()),
                                   nullptr)) {
        JsonNode* root = json_parser_get_root(parser);
        JsonObject* object =
            root != nullptr && JSON_NODE_HOLDS_OBJECT(root) ? json_node_get_object(root) : nullptr;
        for (size_t i = 0; object != nullptr && i < titles.size(); ++i) {
            JsonNode* member = json_object_get_member(object, titles[i].c_str());
            if (member != nullptr && JSON_NODE_HOLDS_VALUE(member) &&
                json_node_get_value_type(member) == G_TYPE_STRING)
                cells[i] = json_node_get_string(member);
        }
    }
    g_object_unref(parser);
    return cells;
}

}  // namespace

std::vector<std::vector<std::string>> firstTableRows(const std::string& path, TableFormat format,
                                                     const std::vector<std::string>& headerNames) {
    std::vector<std::vector<std::string>> rows;
    if (format == TableFormat::kXlsx) {
        XlsxReader reader;
        std::vector<std::string> cells;
        bool end = false;
        if (!reader.open(path).ok()) return rows;
        for (size_t i = 0; i <= kRowsLooked && reader.next(&cells, &end).ok() && !end; ++i) {
            if (i > 0) rows.push_back(cells);
        }
        return rows;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(kBytesLooked, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    std::vector<std::string> titles;
    for (const std::string& name : headerNames)
        titles.push_back(columnTitle(name));
    size_t pos = 0;
    // jsonl has no header row; the others' is skipped.
    for (size_t i = 0; pos < text.size() && rows.size() < kRowsLooked; ++i) {
        std::vector<std::string> cells;
        if (format == TableFormat::kCsv) {
            if (!readCsvRecord(text, &pos, &cells)) break;
        } else {
            size_t end = text.find(format == TableFormat::kTab ? '\r' : '\n', pos);
            if (end == std::string::npos) break;  // a row cut by the bytes looked at
            std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            cells = format == TableFormat::kJsonl ? jsonCells(line, titles) : split(line, '\t');
        }
        if (i > 0 || format == TableFormat::kJsonl) rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace tabulon
