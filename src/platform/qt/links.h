// Opens a web or e-mail address in the desktop's program for it. When no program
// takes it, a message says so and shows the address, so that it can be copied.
#pragma once

#include <QUrl>
#include <functional>

class QWidget;

namespace tabulon {

// True when the desktop took the address.
bool openLink(QWidget* parent, const QUrl& address);

// Makes `link`, a label drawn as a link, usable from the keyboard and spoken
// as a link: Tab reaches it, it shows as under the mouse while it has the
// focus, and Return or Space calls `follow`.
void makeKeyboardLink(QWidget* link, std::function<void()> follow);

}  // namespace tabulon
