// The save dialog's side of the spreadsheet save: which formats it offers, the
// name it proposes, and which file and format a choice comes to.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/table_format.h"
#include "table/table_writer.h"

namespace tabulon {

// The formats the app offers (FormatInfo::dialogPlace), in the dialog's order.
const std::vector<TableFormat>& offeredFormats();

// The dialog's filter text for `format`, e.g. "Excel workbook, every value kept as
// written (*.xlsx)": it also tells what a spreadsheet does to the text formats.
std::string formatFilter(TableFormat format);

// The format a filter text, or a format's own name ("csv"), stands for.
std::optional<TableFormat> formatOfFilter(std::string_view filter);

// "<input name> Converted" followed by the format's extension.
std::string proposedOutputName(const std::string& inputName, TableFormat format);

struct SaveTarget {
    std::string path;
    TableFormat format;
};

// A path ending in a known extension (".xlsx", ".csv", ".tsv", any letter case)
// is saved in that format, whatever the filter; otherwise in `filterFormat`,
// with its extension appended (tab has none).
SaveTarget resolveSaveTarget(const std::string& chosenPath, TableFormat filterFormat);

// The offered format whose extension `name` ends in (any letter case), if any.
std::optional<TableFormat> offeredFormatOfName(std::string_view name);

// The name `name` takes when the save dialog's type becomes `format`: a known
// extension gives way to the format's, and a name without one gets the
// format's appended (tab has none), so that the name shows what is written.
std::string renamedForFormat(const std::string& name, TableFormat format);

// The folder the files attached to the messages are saved in beside the table
// at `tablePath`: its name without a table format's extension, then " Attachments"
// ("/home/ann/orders.xlsx" -> "/home/ann/orders Attachments").
std::string attachmentsFolderFor(const std::string& tablePath);

// How the format is written from the preview: with the byte-order mark that
// spreadsheets need to read UTF-8 where the format takes one.
TableOptions tableOptionsFor(TableFormat format);

}  // namespace tabulon
