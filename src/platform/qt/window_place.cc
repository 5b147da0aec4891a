#include "platform/qt/window_place.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
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

QRect fitOnScreen(const QRect& available, const QRect& geometry, QSize minimum) {
    QRect area = available.marginsRemoved(kFrame);
    QSize size = geometry.size().boundedTo(area.size()).expandedTo(minimum);
    return {placeOnScreens({available}, geometry.topLeft(), size), size};
}

namespace {

// Fits each window as it shows: its size at once, before anyone can see it
// cut off; its place once it has taken it (a dialog centres itself over its
// window only after the filters have seen it show), and only when it must.
class OnScreenKeeper : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || window == nullptr || !window->isWindow() ||
            (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog)) {
            return false;
        }
        QRect fitted = fitted_(window);
        if (fitted.size() != window->size()) window->resize(fitted.size());
        QPointer<QWidget> shown(window);
        QMetaObject::invokeMethod(
            this,
            [this, shown] {
                if (!shown) return;
                QRect fitted = fitted_(shown);
                if (fitted != shown->geometry()) shown->setGeometry(fitted);
            },
            Qt::QueuedConnection);
        return false;
    }

  private:
    static QRect fitted_(QWidget* window) {
        QScreen* screen = window->screen();
        if (screen == nullptr) return window->geometry();
        QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
        return fitOnScreen(screen->availableGeometry(), window->geometry(), minimum);
    }
};

}  // namespace

void keepWindowsOnScreen() {
    qApp->installEventFilter(new OnScreenKeeper(qApp));
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
