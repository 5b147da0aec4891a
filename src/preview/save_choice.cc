#include "preview/save_choice.h"

namespace tabulon {
namespace {

bool endsWithNoCase(std::string_view text, std::string_view end) {
    if (end.empty() || text.size() < end.size()) return false;
    std::string_view tail = text.substr(text.size() - end.size());
    for (size_t i = 0; i < end.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(tail[i]) != lower(end[i])) return false;
    }
    return true;
}

}  // namespace

const std::vector<TableFormat>& offeredFormats() {
    static const std::vector<TableFormat> formats = {TableFormat::kXlsx, TableFormat::kCsv,
                                                     TableFormat::kTsv, TableFormat::kTab};
    return formats;
}

std::string formatFilter(TableFormat format) {
    switch (format) {
        case TableFormat::kXlsx:
            return "Excel workbook (*.xlsx)";
        case TableFormat::kCsv:
            return "CSV, comma-separated, UTF-8 (*.csv)";
        case TableFormat::kTsv:
            return "TSV, tab-separated, UTF-8 (*.tsv)";
        case TableFormat::kTab:
            return "Tab-delimited text, CR row ends (*)";
        case TableFormat::kJsonl:
            return "JSON Lines (*.jsonl)";
    }
    return {};
}

std::optional<TableFormat> formatOfFilter(std::string_view filter) {
    for (TableFormat format : offeredFormats()) {
        if (filter == formatFilter(format) || filter == formatName(format)) return format;
    }
    return std::nullopt;
}

std::string proposedOutputName(const std::string& inputName, TableFormat format) {
    return inputName + " Converted" + std::string(formatExtension(format));
}

std::optional<TableFormat> formatOfName(std::string_view name) {
    for (TableFormat format : offeredFormats()) {
        if (endsWithNoCase(name, formatExtension(format))) return format;
    }
    return std::nullopt;
}

SaveTarget resolveSaveTarget(const std::string& chosenPath, TableFormat filterFormat) {
    if (std::optional<TableFormat> named = formatOfName(chosenPath)) return {chosenPath, *named};
    return {chosenPath + std::string(formatExtension(filterFormat)), filterFormat};
}

std::string renamedForFormat(const std::string& name, TableFormat format) {
    std::string stem = name;
    if (std::optional<TableFormat> named = formatOfName(name))
        stem.resize(name.size() - formatExtension(*named).size());
    return stem + std::string(formatExtension(format));
}

TableOptions tableOptionsFor(TableFormat format) {
    TableOptions options;
    options.byteOrderMark = format == TableFormat::kCsv;
    return options;
}

}  // namespace tabulon
