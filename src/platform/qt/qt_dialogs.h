// Dialogs shown with Qt's message box and file dialogs. Keeps track of the ones
// open, so that quitting can end them.
#pragma once

#include <QList>
#include <QPointer>

#include "platform/qt/dialog_seam.h"

class QDialog;

namespace tabulon {

class QtDialogs : public Dialogs {
  public:
    void message(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& title = QString()) override;
    QString saveFile(QWidget* parent, const QString& proposedName, const QString& folder) override;
    QString chooseFolder(QWidget* parent, const QString& acceptCaption) override;
    void cancelAll() override;
    int openCount() const override { return static_cast<int>(open_.size()); }

    QStringList openFiles(QWidget* parent) override;
    QString saveFileWithTypes(QWidget* parent, const QString& proposedName, const QString& folder,
                              const FileTypes& types, QString* selectedFilter) override;

  private:
    // Runs `dialog` modally; Rejected at once when cancelling.
    int execute(QDialog& dialog);

    QList<QPointer<QDialog>> open_;
    bool cancelling_ = false;
};

}  // namespace tabulon
