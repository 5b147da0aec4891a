#include "platform/qt_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace tabulon {

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tabulon"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtDialogs::openFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& proposedName, const QString& folder) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    return QFileDialog::getSaveFileName(parent, QString(), start);
}

QStringList QtDialogs::openFiles(QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent);
}

QString QtDialogs::saveFileWithTypes(QWidget* parent, const QString& proposedName,
                                     const QString& folder, const QStringList& filters,
                                     QString* selectedFilter) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    return QFileDialog::getSaveFileName(parent, QString(), start,
                                        filters.join(QStringLiteral(";;")), selectedFilter);
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& acceptCaption) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, acceptCaption);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace tabulon
