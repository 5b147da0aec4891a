#include "platform/qt/window_page.h"

namespace tabulon {

WindowPage::WindowPage(QWidget* window) : window_(window) {}

void WindowPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void WindowPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeControls();
}

void WindowPage::placeControls() {
    if (!window_->isAncestorOf(this)) return;  // not in its tab panel yet
    QPoint offset = mapTo(window_, QPoint());
    for (auto& [control, rect] : placed_) {
        if (control) control->setGeometry(rect.translated(-offset));
    }
}

}  // namespace tabulon
