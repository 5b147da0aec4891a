#include "platform/qt/accessible_role.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace tabulon {
namespace {

const char kRoleProperty[] = "tabulonAccessibleRole";

QAccessibleInterface* withRole(const QString&, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) return nullptr;
    QVariant role = object->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object),
                                 static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(withRole);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

}  // namespace tabulon
