// The "Edit Field" dialog: changes the text of one row of the field list. Update
// (the default button) puts the typed text into the row; Cancel (Escape) leaves
// it. Deletes itself when closed.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QListWidget;

namespace tabulon {

class Dialog5 : public QDialog {
    Q_OBJECT
  public:
    // Edits the row of `list` that is selected when Update is pressed.
    Dialog5(QListWidget* list, QWidget* parent);

    void Event_Open();
    void PushButton1_Action();
    void PushButton2_Action();

    QLabel* StaticText1;
    QLineEdit* EditField1;
    QPushButton* PushButton2;
    QPushButton* PushButton1;

  private:
    QListWidget* list_;
};

}  // namespace tabulon
