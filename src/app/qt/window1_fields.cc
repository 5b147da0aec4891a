// The main window's field list editing: Insert, Delete, Down, Up, the buttons'
// focus and selection rule, the Edit Field dialog and the other windows' additions. Every edit
// goes through editFieldList, which marks the list changed; the list is saved
// when another template or folder is chosen and at closing.
#include <QListWidget>
#include <QPushButton>

#include "app/qt/window1.h"
#include "templates/field_list_editing.h"
#include "templates/qt/edit_field_dialog.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon {
namespace {

// Exchanges the selected row's text with the row that `otherRow` names for it;
// returns that row, or -1 when there is none and nothing changed.
int exchangeSelectedRow(QListWidget* list, int (*otherRow)(int selected, int count)) {
    int selected = selectedRow(list);
    int other = otherRow(selected, list->count());
    if (other < 0) return -1;
    QListWidgetItem* first = list->item(selected);
    QListWidgetItem* second = list->item(other);
    QListWidgetItem copy(*first);
    *first = *second;
    *second = copy;
    return other;
}

}  // namespace

void Window1::selectRow(int row) {
    if (row < 0) {
        ListBox1->clearSelection();
        ListBox1->setCurrentRow(-1);
    } else {
        ListBox1->setCurrentRow(row);
    }
}

void Window1::editFieldList(const std::function<bool()>& edit) {
    if (edit()) updatedfields = true;
}

void Window1::FieldInsertButton_Action() {
    editFieldList([this] {
        addRow(ListBox1, QStringLiteral("New Row"));
        selectRow(ListBox1->count() - 1);
        return true;
    });
}

void Window1::appendField(const QString& name) {
    editFieldList([this, &name] {
        addRow(ListBox1, name);
        return true;
    });
}

void Window1::FieldDeleteButton_Action() {
    editFieldList([this] {
        int selected = selectedRow(ListBox1);
        if (!canDeleteRow(selected, ListBox1->count())) return false;
        delete ListBox1->takeItem(selected);
        selectRow(-1);
        return true;
    });
}

void Window1::FieldDownButton_Action() {
    editFieldList([this] {
        int moved = exchangeSelectedRow(ListBox1, rowBelow);
        if (moved >= 0) selectRow(moved);
        return moved >= 0;
    });
}

void Window1::FieldUpButton_Action() {
    editFieldList([this] {
        int moved = exchangeSelectedRow(ListBox1, rowAbove);
        if (moved >= 0) selectRow(moved);
        return moved >= 0;
    });
}

void Window1::ListBox1_GotFocus() {
    fieldButtonsOn_ = true;
    enableFieldButtons();
}

void Window1::ListBox1_LostFocus() {
    fieldButtonsOn_ = false;
    enableFieldButtons();
}

void Window1::enableFieldButtons() {
    // While the list has the focus, each button is enabled when it would act
    // on the selected row.
    int selected = selectedRow(ListBox1);
    int count = ListBox1->count();
    FieldDeleteButton->setEnabled(fieldButtonsOn_ && canDeleteRow(selected, count));
    FieldDownButton->setEnabled(fieldButtonsOn_ && rowBelow(selected, count) >= 0);
    FieldUpButton->setEnabled(fieldButtonsOn_ && rowAbove(selected, count) >= 0);
}

void Window1::ListBox1_DoubleClick() {
    // The Edit Field dialog edits the row in place; its edit counts from here.
    editFieldList([this] {
        (new Dialog5(ListBox1, this))->open();
        return true;
    });
}

}  // namespace tabulon
