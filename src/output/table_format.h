// The output formats, one entry each in table_format.cc: the name, the extension
// an output named after its input gets, what the help and the app's save dialog
// say of it, and which options apply. Everything that lists formats (the help and
// usage texts, the save dialog, the settings, the shell completions, the tests)
// reads them from here. Kept apart from the writers (table_writer.h) so that a
// program can name formats without linking them.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

enum class TableFormat { kTab, kTsv, kCsv, kXlsx, kJsonl };

// How rows are added to a table of a format (only new rows, table_append.h):
// its bytes kept and the new rows written after them, once its header row
// (kAfterHeaderRow) or the keys of its first row (kAfterRowKeys) show this
// conversion's columns; or its rows read back and the whole written anew
// (kReadBack).
enum class AddedTo { kAfterHeaderRow, kAfterRowKeys, kReadBack };

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
    AddedTo addedTo;
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
// The names (or another `field`) of the formats `which` picks, with `last`
// before the last one: "tab, tsv, csv and jsonl" for " and ".
std::string formatNames(const std::function<bool(const FormatInfo&)>& which, std::string_view last,
                        std::string_view FormatInfo::*field = &FormatInfo::name);

}  // namespace tabulon
