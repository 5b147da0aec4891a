// The About box. Each About command makes a new one; it deletes itself when
// closed.
#pragma once

#include <QDialog>

class QPushButton;

namespace tabulon {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent);
    QPushButton* PushButton1;
};

}  // namespace tabulon
