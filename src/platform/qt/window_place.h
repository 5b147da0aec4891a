// Where a window whose place was saved comes up: there, when it can be seen
// whole on a screen present now, title bar included; otherwise moved onto one
// (a monitor since unplugged, a place saved by another window system).
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tabulon {

// `saved` is the top left of the window's content, `size` its size; `screens`
// the screens' available areas, the primary first.
QPoint placeOnScreens(const QList<QRect>& screens, QPoint saved, QSize size);

// The same with the screens present now.
QPoint placeOnScreen(QPoint saved, QSize size);

}  // namespace tabulon
