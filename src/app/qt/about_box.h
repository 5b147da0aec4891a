// The About box: what Tabulon does, its version and the maker's contact links,
// on two tabs. Each About command makes a new one; it deletes itself when closed.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QTabWidget;

namespace tabulon {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    // `version`: the version text shown, as "Version <version>".
    AboutBox(QWidget* parent, QString version);

    void Event_Open();
    void Canvas1_Open();
    void Canvas1_Paint(QPainter& painter);
    void Canvas2_MouseDown();
    void Canvas3_MouseDown();
    void PushButton1_Action();

    QTabWidget* TabPanel1;
    QLabel* StaticText1;
    QWidget* Canvas1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QWidget* Canvas2;
    QLabel* StaticText5;
    QWidget* Canvas3;
    QLabel* StaticText4;
    QPushButton* PushButton1;
    QImage p;  // the picture, copied from the embedded resource

  private:
    QString version_;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tabulon
