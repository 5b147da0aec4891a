// The "Online Updater" window. It opens at the place stored in the main window
// and stores its place there again when it closes; it answers the Close and Help
// menu items. Deletes itself when closed.
#pragma once

#include <QWidget>

#include "app/menu.h"

namespace tabulon {

class UpdateWindow : public QWidget, public MenuClient {
    Q_OBJECT
  public:
    UpdateWindow();

    void Event_Open();
    void Event_Close();
    void Event_EnableMenuItems(Menu& menu) override;
    bool handleMenuItem(const QString& itemName) override;
    bool _FileClose_Action();
    bool _HelpTabulonHelp_Action();

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace tabulon
