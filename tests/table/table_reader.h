// Reads a table file back through real parsers (Python's csv and json modules,
// openpyxl for workbooks) by running read_table.py beside this file.
#pragma once

#include <string>
#include <vector>

namespace tabulon::test {

struct ReadTable {
    bool ok = false;
    bool missing = false;  // the spreadsheet asked for is not installed
    std::string error;     // the reader's complaint when !ok
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> notes;  // "#freeze A2", "#bold 1 1", ... for a workbook
};

// `format` is "csv", "tsv", "jsonl" or "xlsx"; `scratch` a folder for the
// reader's streams. With `spreadsheet` ("gnumeric" or "libreoffice"), a tab,
// tsv or csv file as that program opens it (empty cells at a row's end left out).
ReadTable readTable(const std::string& format, const std::string& path, const std::string& scratch,
                    const std::string& spreadsheet = "");

}  // namespace tabulon::test
