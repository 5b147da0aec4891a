#include "output/table_format.h"

#include "platform/text.h"

namespace tabulon {
namespace {

// clang-format off
constexpr FormatInfo kFormats[] = {
    {TableFormat::kTab, "tab", "", "Tab between cells, CR row ends, values as read",
     4, "Tab-delimited, CR row ends; a spreadsheet may drop leading zeros, make dates (*)", false, false,
     AddedTo::kAfterHeaderRow},
    {TableFormat::kTsv, "tsv", ".tsv", "UTF-8, Tab between cells, LF row ends, ' before a formula",
     3, "TSV, UTF-8; a spreadsheet may drop leading zeros, make dates (*.tsv)", false, false,
     AddedTo::kAfterHeaderRow},
    {TableFormat::kCsv, "csv", ".csv", "RFC 4180, UTF-8, comma-separated, ' before a formula",
     2, "CSV, UTF-8; a spreadsheet may drop leading zeros, make dates (*.csv)", true, false,
     AddedTo::kAfterHeaderRow},
    {TableFormat::kXlsx, "xlsx", ".xlsx", "an Excel workbook, every value a text cell but header dates",
     1, "Excel workbook, every value kept as written (*.xlsx)", false, true,
     AddedTo::kReadBack},
    {TableFormat::kJsonl, "jsonl", ".jsonl", "one JSON object per row, for scripts",
     0, "JSON Lines (*.jsonl)", false, false,
     AddedTo::kAfterRowKeys},
};
// clang-format on

}  // namespace

std::span<const FormatInfo> tableFormats() {
    return kFormats;
}

const FormatInfo& formatInfo(TableFormat format) {
    for (const FormatInfo& entry : kFormats) {
        if (entry.format == format) return entry;
    }
    return kFormats[0];
}

std::optional<TableFormat> parseTableFormat(std::string_view name) {
    for (const FormatInfo& entry : kFormats) {
        if (entry.name == name) return entry.format;
    }
    return std::nullopt;
}

std::string_view formatName(TableFormat format) {
    return formatInfo(format).name;
}

std::string_view formatExtension(TableFormat format) {
    return formatInfo(format).extension;
}

std::optional<TableFormat> formatOfName(std::string_view path) {
    for (const FormatInfo& entry : kFormats) {
        std::string_view extension = entry.extension;
        if (!extension.empty() && path.size() > extension.size() &&
            equalsIgnoringCase(path.substr(path.size() - extension.size()), extension))
            return entry.format;
    }
    return std::nullopt;
}

std::string formatNames(bool FormatInfo::*only) {
    return formatNames([only](const FormatInfo& entry) { return only == nullptr || entry.*only; },
                       " or ");
}

std::string formatNames(const std::function<bool(const FormatInfo&)>& which, std::string_view last,
                        std::string_view FormatInfo::*field) {
    std::vector<std::string_view> names;
    for (const FormatInfo& entry : kFormats) {
        if (which(entry)) names.push_back(entry.*field);
    }
    std::string list;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += i + 1 == names.size() ? last : ", ";
        list += names[i];
    }
    return list;
}

}  // namespace tabulon
