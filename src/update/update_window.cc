#include "update/update_window.h"

#include <QCloseEvent>

#include "app/help.h"
#include "app/window1.h"

namespace tabulon {

UpdateWindow::UpdateWindow() {
    setObjectName(QStringLiteral("UpdateWindow"));
    setWindowTitle(QStringLiteral("Online Updater"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(295, 70);
    Event_Open();
}

void UpdateWindow::Event_Open() {
    if (Window1* main = Window1::instance()) {
        setGeometry(QRect(QPoint(main->myProgressleft, main->myProgresstop), size()));
    }
}

void UpdateWindow::Event_Close() {
    if (Window1* main = Window1::instance()) {
        main->myProgressleft = geometry().x();
        main->myProgresstop = geometry().y();
        if (main->updateWindow == this) main->updateWindow = nullptr;
        main->menu->enable(QStringLiteral("FileClose"), false);
    }
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    Event_Close();
    event->accept();
}

void UpdateWindow::Event_EnableMenuItems(Menu& menu) {
    menu.enable(QStringLiteral("FileClose"));
    menu.enable(QStringLiteral("HelpTabulonHelp"));
}

bool UpdateWindow::handleMenuItem(const QString& itemName) {
    if (itemName == QLatin1String("FileClose")) return _FileClose_Action();
    if (itemName == QLatin1String("HelpTabulonHelp")) return _HelpTabulonHelp_Action();
    return false;
}

bool UpdateWindow::_FileClose_Action() {
    close();
    return true;
}

bool UpdateWindow::_HelpTabulonHelp_Action() {
    openHelpDocument(this);
    return true;
}

}  // namespace tabulon
