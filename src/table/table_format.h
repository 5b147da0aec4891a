// The output formats by name, and the extension each gives a file. Kept apart from
// the writers so that a program can name formats without linking them.
#pragma once

#include <optional>
#include <string_view>

namespace tabulon {

enum class TableFormat { kTab, kTsv, kCsv, kXlsx, kJsonl };

// "tab", "tsv", "csv", "xlsx", "jsonl"; nothing for any other text.
std::optional<TableFormat> parseTableFormat(std::string_view name);

// The name parseTableFormat takes.
std::string_view formatName(TableFormat format);

// What an output of this format is named after its input: ".csv", ".xlsx", ...
// (empty for tab, whose outputs keep the name without an extension).
std::string_view formatExtension(TableFormat format);

}  // namespace tabulon
