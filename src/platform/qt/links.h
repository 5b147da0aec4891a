// Opens a web or e-mail address in the desktop's program for it. When no program
// takes it, a message says so and shows the address, so that it can be copied.
#pragma once

#include <QUrl>

class QWidget;

namespace tabulon {

// True when the desktop took the address.
bool openLink(QWidget* parent, const QUrl& address);

}  // namespace tabulon
