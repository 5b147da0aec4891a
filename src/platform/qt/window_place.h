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

// Where a window of `geometry` (its content) opening on the screen area
// `available` shows whole, title bar included: no bigger than fits, never
// smaller than `minimum`, moved just far enough onto the area.
QRect fitOnScreen(const QRect& available, const QRect& geometry, QSize minimum);

// From now on, every window and dialog of the app that opens is kept within
// the screen it opens on, at any scale (QT_SCALE_FACTOR=2 halves a screen).
void keepWindowsOnScreen();

}  // namespace tabulon
