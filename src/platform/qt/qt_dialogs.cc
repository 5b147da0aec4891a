#include "platform/qt/qt_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace tabulon {

int QtDialogs::execute(QDialog& dialog) {
    if (cancelling_) return QDialog::Rejected;
    QPointer<QDialog> entry(&dialog);
    open_.append(entry);
    int result = dialog.exec();
    open_.removeOne(entry);
    return cancelling_ ? QDialog::Rejected : result;
}

void QtDialogs::cancelAll() {
    cancelling_ = true;
    for (const QPointer<QDialog>& dialog : open_) {
        if (dialog) dialog->reject();
    }
}

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tabulon"), text, QMessageBox::Ok, parent);
    // Paths and addresses in messages can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    execute(box);
}

QString QtDialogs::openFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(QWidget* parent, const QString& proposedName, const QString& folder) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    QFileDialog dialog(parent, QString(), start);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QStringList QtDialogs::openFiles(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (execute(dialog) != QDialog::Accepted) return QStringList();
    return dialog.selectedFiles();
}

QString QtDialogs::saveFileWithTypes(QWidget* parent, const QString& proposedName,
                                     const QString& folder, const QStringList& filters,
                                     QString* selectedFilter) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    QFileDialog dialog(parent, QString(), start);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    if (selectedFilter != nullptr && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (selectedFilter != nullptr) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& acceptCaption) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, acceptCaption);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace tabulon
