#include "app/qt/screenshot_file.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

namespace tabulon {

bool saveScreenshot(QWidget* widget, const QString& file) {
    widget->repaint();
    QApplication::processEvents();
    bool saved = widget->grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

}  // namespace tabulon
