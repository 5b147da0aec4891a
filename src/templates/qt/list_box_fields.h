// The field list as the rows of a list box. Each row keeps the name's bytes as
// read from its file, so a name that is not valid UTF-8 is written back
// unchanged; the row shows it as UTF-8 when it is, else as Latin-1.
#pragma once

#include <QString>

#include "templates/field_list.h"

class QListWidget;
class QListWidgetItem;

namespace tabulon {

void setListBoxFields(QListWidget* list, const FieldList& fields);
FieldList listBoxFields(const QListWidget* list);

// Appends a row holding `text` and returns it.
QListWidgetItem* addRow(QListWidget* list, const QString& text);
// Gives a row new text (its bytes become the text's UTF-8).
void setRowText(QListWidgetItem* row, const QString& text);
// The selected row's index, or -1 when no row is selected.
int selectedRow(const QListWidget* list);

}  // namespace tabulon
