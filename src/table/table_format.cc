#include "table/table_format.h"

namespace tabulon {
namespace {

struct FormatInfo {
    TableFormat format;
    std::string_view name;
    std::string_view extension;
};

constexpr FormatInfo kFormats[] = {
    {TableFormat::kTab, "tab", ""},           {TableFormat::kTsv, "tsv", ".tsv"},
    {TableFormat::kCsv, "csv", ".csv"},       {TableFormat::kXlsx, "xlsx", ".xlsx"},
    {TableFormat::kJsonl, "jsonl", ".jsonl"},
};

const FormatInfo& info(TableFormat format) {
    for (const FormatInfo& entry : kFormats) {
        if (entry.format == format) return entry;
    }
    return kFormats[0];
}

}  // namespace

std::optional<TableFormat> parseTableFormat(std::string_view name) {
    for (const FormatInfo& entry : kFormats) {
        if (entry.name == name) return entry.format;
    }
    return std::nullopt;
}

std::string_view formatName(TableFormat format) {
    return info(format).name;
}

std::string_view formatExtension(TableFormat format) {
    return info(format).extension;
}

}  // namespace tabulon
