// One picture for tabulon-screenshots: a widget painted as it stands and saved
// as a PNG file, with a line on standard output saying so.
#pragma once

#include <QString>

class QWidget;

namespace tabulon {

bool saveScreenshot(QWidget* widget, const QString& file);

}  // namespace tabulon
