// Text colours of labels, and the colours a link label takes: before the mouse
// first leaves it, under the mouse, and after.
#pragma once

#include <QColor>

class QWidget;

namespace tabulon {

inline const QColor kLinkFirstColour(0, 0, 244);
inline const QColor kLinkHoverColour(255, 0, 0);
inline const QColor kLinkColour(0, 0, 255);

void setTextColour(QWidget* widget, const QColor& colour);
// Shows a link label as under the mouse (`hovered`) or not.
void setLinkHovered(QWidget* link, bool hovered);

}  // namespace tabulon
