// The output formats, one entry each in table_format.cc: the name, the extension
// an output named after its input gets, what the help and the app's save dialog
// say of it, and which options apply. Everything that lists formats (the help and
// usage texts, the save dialog, the settings, the shell completions, the tests)
// reads them from here. Kept apart from the writers (table_writer.h) so that a
// program can name formats without linking them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

enum class TableFormat { kTab, kTsv, kCsv, kXlsx, kJsonl };

struct FormatInfo {
    TableFormat format;
    std::string_view name;       // as --format takes it
    std::string_view extension;  // ".csv"; "" for none
    std::string_view summary;    // a few words for the help's list of formats
    // The app's save dialog: where it lists the format (0: not offered, then 1,
    // 2, ... from the top) and its filter text.
    int dialogPlace;
    std::string_view dialogFilter;
    bool byteOrderMark;  // --bom applies
    bool binary;         // not text: never written onto a terminal
};

// Every format, the default (tab) first, in the order help texts list them.
std::span<const FormatInfo> tableFormats();
const FormatInfo& formatInfo(TableFormat format);

// A format by its name; nothing for any other text (letter case counts).
std::optional<TableFormat> parseTableFormat(std::string_view name);
std::string_view formatName(TableFormat format);
// What an output of this format is named after its input: ".csv", ".xlsx", ...
// (empty for tab, whose outputs keep the name without an extension).
std::string_view formatExtension(TableFormat format);
// The format a file's name says by its extension ("t.csv", "T.XLSX"); nothing
// for another name (tab has no extension of its own).
std::optional<TableFormat> formatOfName(std::string_view path);

// The names of the formats, or of those whose flag `only` is set (for example
// &FormatInfo::byteOrderMark), as a list for a sentence: "tab, tsv, csv, xlsx or jsonl".
std::string formatNames(bool FormatInfo::*only = nullptr);

}  // namespace tabulon
