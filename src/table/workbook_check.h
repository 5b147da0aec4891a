// Checks a workbook libxlsxwriter finished against what was handed to it: every
// cell, and every byte of their text, reached its sheet. libxlsxwriter does not
// check its writes of the rows to its temporary file, so a full disk there would
// otherwise give a workbook with rows missing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace tabulon {

// What went into the one sheet of a workbook.
struct SheetCount {
    uint64_t cells = 0;      // cells, text or date
    uint64_t textBytes = 0;  // the text cells' text, as written (before XML escaping)
    bool operator==(const SheetCount&) const = default;
};

// Counts the cells of the sheet of the workbook at `path` and their text,
// an entity counting as the one character it stands for. An error when the
// file is no zip holding a sheet, or the sheet does not unpack whole.
Status countSheet(const std::string& path, SheetCount* count);

}  // namespace tabulon
