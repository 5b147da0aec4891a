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
            return "Excel workbook, every value kept as written (*.xlsx)";
        case TableFormat::kCsv:
            return "CSV, UTF-8; a spreadsheet may drop leading zeros, make dates (*.csv)";
        case TableFormat::kTsv:
            return "TSV, UTF-8; a spreadsheet may drop leading zeros, make dates (*.tsv)";
        case TableFormat::kTab:
            return "Tab-delimited, CR row ends; a spreadsheet may drop leading zeros, make "
                   "dates (*)";
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

SaveTarget resolveSaveTarget(const std::string& chosenPath, TableFormat filterFormat) {
    for (TableFormat format : offeredFormats()) {
        if (endsWithNoCase(chosenPath, formatExtension(format))) return {chosenPath, format};
    }
    return {chosenPath + std::string(formatExtension(filterFormat)), filterFormat};
}

TableOptions tableOptionsFor(TableFormat format) {
    TableOptions options;
    options.byteOrderMark = format == TableFormat::kCsv;
    return options;
}

}  // namespace tabulon
