#include "platform/qt/window_place.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <algorithm>

namespace tabulon {
namespace {

// Room for the window manager's frame around the content: the title bar above,
// a border elsewhere (the frame is not known before the window shows).
const QMargins kFrame(8, 32, 8, 8);

}  // namespace

QPoint placeOnScreens(const QList<QRect>& screens, QPoint saved, QSize size) {
    if (screens.isEmpty()) return saved;
    QRect framed = QRect(saved, size).marginsAdded(kFrame);
    for (const QRect& screen : screens) {
        if (screen.contains(framed)) return saved;
    }
    // The screen that holds the saved place, else the primary one; the window
    // moves just far enough onto it, or to its top left when it cannot fit.
    QRect screen = screens.constFirst();
    for (const QRect& each : screens) {
        if (each.contains(saved)) screen = each;
    }
    QRect area = screen.marginsRemoved(kFrame);
    int left = std::max(area.left(), std::min(saved.x(), area.right() + 1 - size.width()));
    int top = std::max(area.top(), std::min(saved.y(), area.bottom() + 1 - size.height()));
    return {left, top};
}

QPoint placeOnScreen(QPoint saved, QSize size) {
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) screens << screen->availableGeometry();
    }
    return placeOnScreens(screens, saved, size);
}

}  // namespace tabulon
