#include "platform/qt/links.h"

#include "platform/qt/desktop.h"
#include "platform/qt/dialogs.h"

namespace tabulon {

bool openLink(QWidget* parent, const QUrl& address) {
    if (openUrl(address)) return true;
    // An e-mail address is shown as one writes it, without "mailto:".
    QString shown =
        address.scheme() == QLatin1String("mailto") ? address.path() : address.toString();
    dialogs().message(parent, QStringLiteral("No program could open this address:\n") + shown);
    return false;
}

}  // namespace tabulon
