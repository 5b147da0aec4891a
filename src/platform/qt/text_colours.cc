#include "platform/qt/text_colours.h"

#include <QPalette>
#include <QWidget>

namespace tabulon {

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void setLinkHovered(QWidget* link, bool hovered) {
    setTextColour(link, hovered ? kLinkHoverColour : kLinkColour);
}

}  // namespace tabulon
