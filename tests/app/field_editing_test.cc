// Editing the field list: the four buttons' rules, their focus rule, and the
// Edit Field dialog.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/main_window_fixture.h"
#include "templates/qt/edit_field_dialog.h"

namespace tabulon::test {
namespace {

class FieldEditingTest : public MainWindowTest {
  protected:
    Window1& openWith(const std::string& names) {
        writeFile(appTemplates() + "Field Names", names);
        return openAfterFirstStart();
    }
    int selected() const {
        auto items = window->ListBox1->selectedItems();
        return items.isEmpty() ? -1 : window->ListBox1->row(items.first());
    }
    Dialog5* editFieldDialog() const { return window->findChild<Dialog5*>(); }
};

TEST_F(FieldEditingTest, ButtonsMoveTheSelectionWithTheText) {
    Window1& w = openWith("A\rB\rC\r");
    w.ListBox1->setCurrentRow(0);
    w.FieldUpButton_Action();  // at the ends, or without a selection: nothing
    w.ListBox1->setCurrentRow(2);
    w.FieldDownButton_Action();
    EXPECT_EQ(rows(), (Lines{"A", "B", "C"}));
    EXPECT_FALSE(w.updatedfields);
    w.ListBox1->setCurrentRow(0);
    w.FieldDownButton_Action();
    EXPECT_EQ(rows(), (Lines{"B", "A", "C"}));
    EXPECT_EQ(selected(), 1);
    w.FieldUpButton_Action();
    EXPECT_EQ(rows(), (Lines{"A", "B", "C"}));
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(w.updatedfields);
    w.FieldInsertButton_Action();
    EXPECT_EQ(rows(), (Lines{"A", "B", "C", "New Row"}));
    EXPECT_EQ(selected(), 3);
    w.FieldDeleteButton_Action();
    EXPECT_EQ(selected(), -1);  // no other row gets selected
    w.updatedfields = false;
    w.FieldDeleteButton_Action();
    w.FieldDownButton_Action();
    w.FieldUpButton_Action();
    EXPECT_EQ(rows(), (Lines{"A", "B", "C"}));
    EXPECT_FALSE(w.updatedfields);
}

TEST_F(FieldEditingTest, KeyboardReachesTheButtonsAndEditsTheList) {
    Window1& w = openWith("A\rB\rC\r");
    w.show();
    QApplication::setActiveWindow(&w);
    w.TabPanel1->setCurrentIndex(1);
    EXPECT_FALSE(w.FieldDeleteButton->isEnabled());  // only the focused list enables it
    EXPECT_TRUE(w.FieldInsertButton->isEnabled());
    w.ListBox1->setFocus();
    // Delete, Down and Up act on the selected row: on none, on the first, on the last.
    for (int row : {-1, 0, 2}) {
        w.ListBox1->setCurrentRow(row);
        EXPECT_EQ(w.FieldDeleteButton->isEnabled(), row >= 0) << row;
        EXPECT_EQ(w.FieldUpButton->isEnabled(), row > 0) << row;
        EXPECT_EQ(w.FieldDownButton->isEnabled(), row == 0) << row;
    }
    w.ListBox1->setCurrentRow(1);
    // Tab walks the buttons left to right; they stay enabled on the way.
    for (QPushButton* button :
         {w.FieldDeleteButton, w.FieldInsertButton, w.FieldDownButton, w.FieldUpButton}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), button) << button->objectName().toStdString();
        EXPECT_TRUE(w.FieldDeleteButton->isEnabled());
        EXPECT_TRUE(w.FieldUpButton->isEnabled());
    }
    w.FieldDownButton->setFocus();
    QTest::keyClick(w.FieldDownButton, Qt::Key_Space);  // moves B down
    EXPECT_EQ(rows(), (Lines{"A", "C", "B"}));
    // A click on a button keeps the focus in the list, so the button acts.
    w.ListBox1->setFocus();
    w.ListBox1->setCurrentRow(1);
    QTest::mouseClick(w.FieldDownButton, Qt::LeftButton);
    EXPECT_EQ(rows(), (Lines{"A", "B", "C"}));
    w.CheckBox1->setFocus();  // leaving the list and its buttons
    for (QPushButton* button : {w.FieldDeleteButton, w.FieldDownButton, w.FieldUpButton})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_TRUE(w.FieldInsertButton->isEnabled());

    // On the list, Delete removes the selected row and Return edits it.
    w.ListBox1->setFocus();
    w.ListBox1->setCurrentRow(1);
    QTest::keyClick(w.ListBox1, Qt::Key_Delete);
    EXPECT_EQ(rows(), (Lines{"A", "C"}));
    w.ListBox1->setCurrentRow(1);
    QTest::keyClick(w.ListBox1, Qt::Key_Return);
    ASSERT_NE(editFieldDialog(), nullptr);
    EXPECT_EQ(editFieldDialog()->EditField1->text().toStdString(), "C");
    editFieldDialog()->reject();
}

// A double click edits the row; OK writes the text back, even an empty one, and a
// cancelled edit still counts as a change, so the list is saved with CR line ends.
TEST_F(FieldEditingTest, EditFieldUpdatesTheSelectedRow) {
    Window1& w = openWith("Name:\nCity:\n");
    w.show();
    auto editRow = [&](int row) {
        w.ListBox1->setCurrentRow(row);
        QRect place = w.ListBox1->visualItemRect(w.ListBox1->item(row));
        QTest::mouseDClick(w.ListBox1->viewport(), Qt::LeftButton, {}, place.center());
        return editFieldDialog();
    };
    Dialog5* dialog = editRow(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->PushButton1->isDefault());
    EXPECT_EQ(dialog->EditField1->text().toStdString(), "City:");
    dialog->EditField1->setText(QString());
    dialog->PushButton1->click();
    EXPECT_EQ(rows(), (Lines{"Name:", ""}));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    w.updatedfields = false;
    dialog = editRow(0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->EditField1->text().toStdString(), "Name:");
    dialog->EditField1->setText(QStringLiteral("changed"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(rows(), (Lines{"Name:", ""}));
    EXPECT_TRUE(w.updatedfields);
    quit();  // the empty row stays an empty line in the file
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\r\r");
}

}  // namespace
}  // namespace tabulon::test
