// What a screen reader is told a widget is, where Qt cannot tell by its class:
// a label drawn and followed as a link, a plain widget that is a window.
#pragma once

#include <QAccessible>

class QWidget;

namespace tabulon {

// `widget` is spoken as `role` (QAccessible::Link, QAccessible::Window...).
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace tabulon
