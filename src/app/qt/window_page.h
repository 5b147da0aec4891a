// A page of a window's tab panel whose controls are placed in the window's own
// coordinates, as the fixed layout gives them, wherever the tab panel puts the
// page (its position depends on the style's tab bar height).
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <utility>
#include <vector>

namespace tabulon {

class WindowPage : public QWidget {
  public:
    // `window` is the widget whose coordinates the layout uses.
    explicit WindowPage(QWidget* window);

  protected:
    // Makes `control` a child of this page at the given window rectangle.
    template <class Control>
    Control* place(Control* control, int left, int top, int width, int height) {
        control->setParent(this);
        placed_.emplace_back(control, QRect(left, top, width, height));
        placeControls();
        return control;
    }

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void placeControls();

    QWidget* window_;
    std::vector<std::pair<QPointer<QWidget>, QRect>> placed_;
};

}  // namespace tabulon
