// A page of a window's tab panel whose controls are placed in the window's own
// coordinates, as the fixed layout gives them, wherever the tab panel puts the
// page (its position depends on the style's tab bar height).
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <utility>
#include <vector>

#include "platform/qt/placed_control.h"

namespace tabulon {

class WindowPage : public QWidget {
  public:
    // `window` is the widget whose coordinates the layout uses.
    explicit WindowPage(QWidget* window);

    // Makes `control` a child of this page, named `name`, in `font`, at `rect`
    // of the window.
    template <class Control>
    Control* place(Control* control, const char* name, QRect rect, const QFont& font) {
        placed(control, name, this, rect, font);
        placed_.emplace_back(control, rect);
        placeControls();
        return control;
    }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void placeControls();

    QWidget* window_;
    std::vector<std::pair<QPointer<QWidget>, QRect>> placed_;
};

}  // namespace tabulon
