// The three pages of the main window's tab panel, each holding its controls at
// the layout's window coordinates. The pages only build controls; the main
// window wires them to its handlers.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/qt/window_page.h"

namespace tabulon {

extern const char kWelcomeText[];
extern const char kPrivacyNote[];

class WelcomePage : public WindowPage {
  public:
    explicit WelcomePage(QWidget* window);
    QWidget* Canvas1;     // click area of the link
    QLabel* StaticText1;  // the maker's web address
    QLabel* StaticText2;  // the welcome text
};

class FieldsPage : public WindowPage {
  public:
    explicit FieldsPage(QWidget* window);
    QListWidget* ListBox1;
    QPushButton* FieldDeleteButton;
    QPushButton* FieldInsertButton;
    QPushButton* FieldDownButton;
    QPushButton* FieldUpButton;
};

class PreferencesPage : public WindowPage {
  public:
    explicit PreferencesPage(QWidget* window);
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox1;
    QGroupBox* GroupBox2;
    QLabel* StaticText3;
    QCheckBox* CheckBox3;
    QComboBox* PopupMenu1;
    QLabel* myTemplateLoc;
    QPushButton* BevelButton1;
};

}  // namespace tabulon
