// Tabulon's help window: shows the help document ":Tabulon Help:Tabulon Help"
// (HTML) as a formatted page; its links to other places open in the browser.
#pragma once

#include <QWidget>

#include "platform/qt/menu_client.h"

class QTextBrowser;
class QUrl;

namespace tabulon {

// Escape and File > Close (Ctrl+W) close it.
class HelpWindow : public QWidget, public MenuClient {
    Q_OBJECT
  public:
    HelpWindow();
    // Loads the help document; false (with a message) when it cannot be read.
    bool load();

    QTextBrowser* HelpText;

  private:
    void followLink(const QUrl& link);
};

// Shows the help window, the one already open if there is one.
void openHelpDocument(QWidget* parent);

}  // namespace tabulon
