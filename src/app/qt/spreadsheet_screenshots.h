// Pictures of the spreadsheet preview (real form mail with a missing field and
// an encoded name), the New Template from Mail dialog and the first rows of the
// workbook Save writes, read back from the file, for tabulon-screenshots.
#pragma once

#include <QDir>
#include <QString>

namespace tabulon {

class Window1;

// Writes spreadsheet-preview.png, saved-workbook.png and new-template-dialog.png
// into `out`; `sourceDir` holds the samples and tools/xlsx_cells.py.
bool renderSpreadsheetPictures(Window1& window, const QDir& out, const QString& sourceDir);

}  // namespace tabulon
