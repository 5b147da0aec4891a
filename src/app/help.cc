#include "app/help.h"

#include <QUrl>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/qt_paths.h"

namespace tabulon {

void openHelpDocument(QWidget* parent) {
    QUrl document = QUrl::fromLocalFile(fromNative(resolvePath(":Tabulon Help:Tabulon Help")));
    if (!openUrl(document)) {
        dialogs().message(parent, QStringLiteral("The AppleEvent could not be sent."));
    }
}

}  // namespace tabulon
