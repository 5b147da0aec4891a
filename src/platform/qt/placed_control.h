// Puts a control of a fixed-layout window in place: named (its objectName), a
// child of `parent` at `rect` in the parent's pixels, in `font`.
#pragma once

#include <QRect>
#include <QWidget>

#include "platform/qt/fonts.h"

namespace tabulon {

template <class Control>
Control* placed(Control* control, const char* name, QWidget* parent, QRect rect,
                const QFont& font = systemFont(12)) {
    control->setObjectName(QLatin1String(name));
    control->setParent(parent);
    control->setFont(font);
    control->setGeometry(rect);
    return control;
}

}  // namespace tabulon
