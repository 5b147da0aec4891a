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
    // The factory installed last is asked first: ahead of Qt's own, which
    // would speak a label as text however it is used, also when Qt's was
    // installed after this one.
    QAccessible::removeFactory(withRole);
    QAccessible::installFactory(withRole);
    widget->setProperty(kRoleProperty, static_cast<int>(role));
    // A screen reader may have asked about the widget already, and been told
    // what its class is: that answer goes, and the next is made with the role.
    QAccessibleInterface* told = QAccessible::queryAccessibleInterface(widget);
    if (told != nullptr && told->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(told));
}

}  // namespace tabulon
