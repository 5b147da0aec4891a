#include "platform/qt/dialog_seam.h"

namespace tabulon {

QStringList Dialogs::openFiles(QWidget* parent) {
    QString file = openFile(parent);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString Dialogs::saveFileWithTypes(QWidget* parent, const QString& proposedName,
                                   const QString& folder, const FileTypes&, QString*) {
    return saveFile(parent, proposedName, folder);
}

}  // namespace tabulon
